// The image library's utility part, for the web build: its version only. Web back end only.
#pragma once

#include <IL/il.h>

ILint iluGetInteger(ILenum mode);
