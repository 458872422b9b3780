// File names as the game writes them ("Sound\type.wav") mapped to the host's separator.
#ifndef VELMORA_I_FILE_H
#define VELMORA_I_FILE_H

#include <string>

std::string native_file_name(const char *name);

#endif
