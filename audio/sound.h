// The game's sound interface: samples and music modules.
#ifndef VELMORA_SOUND_H
#define VELMORA_SOUND_H

struct FSOUND_SAMPLE;
struct FMUSIC_MODULE;

enum { FSOUND_FREE = -1 };

bool FSOUND_Init(int mix_rate, int max_channels, unsigned int flags);
FSOUND_SAMPLE *FSOUND_Sample_Load(int index, const char *name, unsigned int mode, int length);
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE *sample);
void FSOUND_Sample_Free(FSOUND_SAMPLE *sample);
void FSOUND_Close();

FMUSIC_MODULE *FMUSIC_LoadSong(const char *name);
bool FMUSIC_PlaySong(FMUSIC_MODULE *module);
bool FMUSIC_IsPlaying(FMUSIC_MODULE *module);
bool FMUSIC_StopSong(FMUSIC_MODULE *module);
bool FMUSIC_FreeSong(FMUSIC_MODULE *module);

#endif
