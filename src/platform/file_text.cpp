#include "platform/file_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray ToFileText(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString FromFileText(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}
