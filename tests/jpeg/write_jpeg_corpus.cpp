// Writes the decoder tests' corpus into a folder, one file per stream (corpus_NN.jpg): the
// fuzzers' seeds.
#include <cstdio>
#include <string>

#include "jpeg_streams.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: write_jpeg_corpus folder\n");
        return 2;
    }
    std::vector<bytes> corpus = jpeg_corpus();
    for (size_t i = 0; i < corpus.size(); i++) {
        std::string name = std::string(argv[1]) + "/corpus_" + std::to_string(i) + ".jpg";
        FILE *f = fopen(name.c_str(), "wb");
        if (!f || corpus[i].empty() ||
            fwrite(corpus[i].data(), 1, corpus[i].size(), f) != corpus[i].size()) {
            fprintf(stderr, "write_jpeg_corpus: cannot write %s\n", name.c_str());
            return 1;
        }
        fclose(f);
    }
    return 0;
}
