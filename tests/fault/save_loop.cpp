// Saves the settings file the way the program does, over and over, until it
// is killed: tools/kill_during_save.sh kills it at random moments and checks
// that the file is always one whole save. Two states alternate; their files
// differ in length, so half of one would show.
//   save_loop FILE a|b    saves state a or b once
//   save_loop FILE loop   saves a, b, a, b, ... for ever
#include <cstdio>
#include <cstring>
#include <string>

#include "main/core/Settings.h"

namespace {

StudyState stateOf(char which) {
    StudyState st;
    loadSettings(st, std::string());  // every default
    st.repeatCount = which == 'a' ? 3 : 7;
    st.studentName = which == 'a' ? "たろう" : "やまだ はなこ さくらぐみ";
    for (int row = 0; row < kRecRows; ++row) st.recCheckArray[0][row] = which == 'a' ? row % 2 : 1;
    return st;
}

bool save(const StudyState& st, const std::string& path) {
    std::string error;
    if (saveSettings(st, path, &error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_loop FILE a|b|loop\n");
        return 2;
    }
    const std::string path = argv[1];
    if (std::strcmp(argv[2], "loop") != 0) return save(stateOf(argv[2][0]), path) ? 0 : 1;
    const StudyState a = stateOf('a'), b = stateOf('b');
    for (unsigned long n = 0;; ++n)
        if (!save(n % 2 ? a : b, path)) return 1;
}
