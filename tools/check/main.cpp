// skarn-check: checks a map's files before it is played. Usage: skarn-check MAP
// Status 0 when no error is found, 1 when one is, 2 for a wrong command line.
#include <cstdio>
#include <cstring>

#include "check.h"

#ifndef SKARN_VERSION
#define SKARN_VERSION "unknown"
#endif

static const char* const HELP_TEXT =
    "usage: skarn-check MAP\n"
    "\n"
    "Checks map/MAP/MAP.mde, every mesh, trajectory and picture it names, and the show's own\n"
    "pictures and music, as the player (skarn MAP) would read them from the current folder.\n"
    "Prints one line per problem, \"file:line: error: what\" or \"file:line: warning: what\",\n"
    "then a summary. Status 0 when no error is found, 1 when one is, 2 for a wrong command line.\n";

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--help") == 0) {
        fputs(HELP_TEXT, stdout);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        printf("skarn-check %s\n", SKARN_VERSION);
        return 0;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: %s MAP   (checks map/MAP/MAP.mde and the files it names)\n",
                argc > 0 ? argv[0] : "skarn-check");
        return 2;
    }
    std::vector<Finding> findings = checkMap("", argv[1]);
    for (const Finding& finding : findings) {
        printf("%s\n", findingText(finding).c_str());
    }
    printf("%s\n", summaryText(findings).c_str());
    return checkStatus(findings);
}
