#include "support/core/Codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace codec {

namespace {
}  // namespace

std::string toCp932(std::string_view utf8) {
    QStringEncoder enc("CP932");
    const QByteArray bytes = enc.encode(u(utf8));
    return bytes.toStdString();
}

std::string fromCp932(std::string_view cp932) {
    QStringDecoder dec("CP932");
    const QString text = dec.decode(QByteArrayView(cp932.data(), qsizetype(cp932.size())));
    return text.toStdString();
}

bool fitsCp932(std::string_view utf8) {
    QStringEncoder enc("CP932");
    // the encoding runs only when the result is taken
    const QByteArray bytes = enc.encode(u(utf8));
    return !enc.hasError();
}

std::string leadingBytes(std::string_view utf8, int maxBytes) {
    const QString text = u(utf8);
    QString kept;
    int used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        QStringEncoder enc("CP932");
        const QByteArray bytes = enc.encode(ch);
        const int n = int(bytes.size());
        if (used + n > maxBytes) break;
        used += n;
        kept += ch;
        i += len;
    }
    return kept.toStdString();
}

}  // namespace codec
