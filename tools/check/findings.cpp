// Map checker: recording findings and writing them as lines, the summary and the exit status.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "check_local.h"

void addError(CheckRun& run, const std::string& file, int64_t line, const std::string& message) {
    run.findings.push_back({file, line, true, message});
}

void addWarning(CheckRun& run, const std::string& file, int64_t line, const std::string& message) {
    run.findings.push_back({file, line, false, message});
}

void sortFindingsFrom(CheckRun& run, size_t from) {
    std::stable_sort(run.findings.begin() + (long)from, run.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

int openChecked(const CheckRun& run, const std::string& path, TextReader& reader) {
    int err = readerOpen(reader, run.root + path);
    reader.path = path;
    return err;
}

void addReaderError(CheckRun& run, const TextReader& reader) {
    // A word where a number should be is most often a list shorter than its count.
    std::string hint;
    const std::string numberThenWord = "expected a number, found \"";
    if (reader.error.compare(0, numberThenWord.size(), numberThenWord) == 0 &&
        reader.error.size() > numberThenWord.size() &&
        std::isalpha((unsigned char)reader.error[numberThenWord.size()])) {
        hint = " (does a count above announce more entries than the list holds?)";
    }
    addError(run, reader.path, reader.errorLine, reader.error + hint);
}

std::string placeText(const std::string& file, int64_t line) {
    return line > 0 ? file + ":" + std::to_string(line) : file;
}

std::string numberText(float value) {
    char text[32];
    snprintf(text, sizeof text, "%g", (double)value);
    return text;
}

std::string findingText(const Finding& finding) {
    return placeText(finding.file, finding.line) + (finding.error ? ": error: " : ": warning: ") +
           finding.message;
}

std::string summaryText(const std::vector<Finding>& findings) {
    size_t errors = (size_t)std::count_if(findings.begin(), findings.end(),
                                          [](const Finding& f) { return f.error; });
    const size_t warnings = findings.size() - errors;
    return std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
           std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings");
}

int checkStatus(const std::vector<Finding>& findings) {
    for (const Finding& f : findings) {
        if (f.error) {
            return 1;
        }
    }
    return 0;
}
