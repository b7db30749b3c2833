// skarn-check: checks a map's files before it is played. Usage: skarn-check MAP
// Status 0 when no error is found, 1 when one is, 2 for a wrong command line.
#include <cstdio>

#include "check.h"

int main(int argc, char** argv) {
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
