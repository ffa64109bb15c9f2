// The spoken 九九's figures: how long the phrases take to load after the
// first frame, the memory they hold, and how long a request to speak takes.
// Run in the program's folder (build/app).
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "support/SoundPlayer.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SoundPlayer player;
    std::vector<qint64> loads;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        player.loadVoice(".", 50 + i);  // a new volume each time: all read and scaled again
        loads.push_back(t.nsecsElapsed());
    }
    std::sort(loads.begin(), loads.end());
    if (!player.hasVoice()) {
        std::printf("no voice here: run in the program's folder of a build with its voice\n");
        return 1;
    }
    std::vector<qint64> calls;
    for (int q = 0; q < 81; ++q) {
        QElapsedTimer t;
        t.start();
        player.speak(Spoken::Chant, q, 2400);
        calls.push_back(t.nsecsElapsed());
    }
    player.stopSpeaking();
    std::sort(calls.begin(), calls.end());
    std::printf("voice: 162 phrases, %.2f MB in memory; loading %.1f ms (median of 5); speak() %.1f us (median)\n",
                double(player.voiceBytes()) / (1024.0 * 1024.0), double(loads[2]) / 1e6, double(calls[40]) / 1e3);
    return 0;
}
