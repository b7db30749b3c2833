// The console streams: the player's lines are Windows-1252 bytes, kept exactly so in pipes and
// files; a stream that is a terminal in a UTF-8 locale gets them in UTF-8. Application side.
#pragma once

#include <cstddef>
#include <string>

// The text with each Windows-1252 byte above 0x7f written as UTF-8. Well-formed UTF-8 sequences
// already in the text (a path the user typed on a UTF-8 system) are kept as they are; the five
// bytes Windows-1252 leaves undefined become U+FFFD.
std::string cp1252ToUtf8(const char* text, size_t size);

// Puts a UTF-8 writer in place of standard output and of standard error, each on its own, when
// it is a terminal and the locale's character set is UTF-8. Standard output stays line-buffered.
void setUpConsole();
