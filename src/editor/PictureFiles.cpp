#include "editor/PictureFiles.h"

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "picture/JpegDecoder.h"
#include "view/PicturePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <span>

namespace sapidoro {

namespace {

QString Utf8(const std::string &text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString RecipePicturePath(const std::string &dataFolder, std::string_view name) {
    if (!IsSafePictureName(name))
        throw Exception("Il nome \"" + Cp1252ToUtf8(name) +
                        "\" non può dare il nome al file della sua immagine.");
    return QFile::decodeName(QByteArray::fromStdString(dataFolder + std::string(kPictureFolder))) +
           Utf8(Cp1252ToUtf8(name)) + QStringLiteral(".jpg");
}

void CheckPicture(const QString &file) {
    const std::string shown = QDir::toNativeSeparators(file).toStdString();
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        throw Exception("Il file \"" + shown + "\" non si può leggere.");
    const QByteArray data = in.readAll();
    if (data.isEmpty()) throw Exception("Il file \"" + shown + "\" è vuoto.");
    // The decoder's own texts are libjpeg's English: the user reads what they mean.
    if (!data.startsWith("\xFF\xD8"))
        throw Exception("Il file \"" + shown + "\" non è un'immagine JPEG.");
    try {
        const std::span<const std::uint8_t> bytes(
            reinterpret_cast<const std::uint8_t *>(data.constData()),
            static_cast<std::size_t>(data.size()));
        if (DecodeJpeg(bytes, JpegDecodeOptions{}).isNull()) throw Exception("vuota");
    } catch (const std::exception &) {
        throw Exception("Il file \"" + shown +
                        "\" è un'immagine JPEG danneggiata, incompleta o di un tipo che Sapidoro "
                        "non sa mostrare.");
    }
}

void StorePicture(const std::string &dataFolder, std::string_view name, const QString &source) {
    const QString target = RecipePicturePath(dataFolder, name);
    CheckPicture(source);
    QFile in(source);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
        out.write(in.readAll()) < 0 || !out.commit())
        throw Exception("L'immagine non è stata copiata in " + target.toStdString() + ": " +
                        out.errorString().toStdString());
}

bool RenamePicture(const std::string &dataFolder, std::string_view from, std::string_view to) {
    if (!IsSafePictureName(from) || !IsSafePictureName(to)) return false;
    const QString source = RecipePicturePath(dataFolder, from);
    const QString target = RecipePicturePath(dataFolder, to);
    if (!QFileInfo(source).isFile() || QFileInfo::exists(target)) return false;
    return QFile::rename(source, target);
}

}  // namespace sapidoro
