// Running X tools (xdotool, xwininfo) on the private display of the test
// command, for the suites that drive the real program.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

inline QString run(const QString& program, const QStringList& args, const QString& display, int waitMs = 10000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(waitMs);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A number from xwininfo's output, e.g. "Width".
inline int field(const QString& text, const char* name) {
    const QRegularExpression re(QString::fromUtf8(name) + ":\\s+(-?\\d+)");
    return re.match(text).captured(1).toInt();
}
