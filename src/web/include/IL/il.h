// The part of the image library's interface that scene/ and render/ use, for the web build:
// pictures decoded by stb_image (web/image_library.cpp). Web back end only.
#pragma once

typedef unsigned int ILuint;
typedef int ILint;
typedef unsigned int ILenum;
typedef unsigned char ILboolean;

#define IL_NO_ERROR 0
#define IL_COULD_NOT_OPEN_FILE 0x050A
#define IL_INVALID_VALUE 0x0505
#define IL_VERSION_NUM 0x0DE2
#define IL_IMAGE_WIDTH 0x0DE4
#define IL_IMAGE_HEIGHT 0x0DE5
#define IL_CONV_PAL 0x0630
#define IL_WEB_VERSION 178 // the version of the desktop's library whose behaviour this follows

ILint ilGetInteger(ILenum mode);
void ilInit();
void ilGenImages(int count, ILuint* images);
void ilBindImage(ILuint image);
void ilDeleteImages(int count, const ILuint* images);
ILboolean ilLoadImage(const char* path);
ILenum ilGetError();
ILboolean ilEnable(ILenum mode);
