// The sound library: the eight operations the music needs, on SDL2_mixer. Error codes are the
// 0 to 18 of the music's table. The only code that names the back end lives behind this header.
#pragma once

struct SoundStream; // opaque; null when an open failed

float soundGetVersion();
int soundInit(int mixRate, int maxChannels, unsigned int flags); // non-zero when ready
int soundGetError();
SoundStream* soundStreamOpenFile(const char* name, unsigned int mode, int length);
int soundStreamPlay(int channel, SoundStream* stream); // channel -1: any free channel
int soundStreamStop(SoundStream* stream);
int soundStreamClose(SoundStream* stream);
void soundClose();

// Authoring: holds (paused 1) or resumes (0) the stream when it is the one playing.
void soundStreamPause(SoundStream* stream, int paused);
// Authoring: plays the stream from `seconds` into it; 0 on success, -1 as soundStreamPlay.
int soundStreamPlayFrom(SoundStream* stream, double seconds);
