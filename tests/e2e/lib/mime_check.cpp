// Checks a desktop entry against the built-in extension table: every extension
// that a playing device takes must have its MIME type in the entry's MimeType
// list, or the file manager never offers the player for it.
//   keld_e2e_mimecheck DESKTOP_FILE     exit 0 when all are covered, 1 otherwise
//   keld_e2e_mimecheck --list           prints the MIME types the table needs
#include "mci/MciExtensionTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QMimeDatabase>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <set>
#include <string>

namespace {

// The devices the service opens files with; the others refuse every file.
bool playsFiles(const std::string& device)
{
    static const std::set<std::string> playing = {"avivideo", "mpegvideo", "waveaudio"};
    return playing.count(device) != 0;
}

QStringList desktopMimeTypes(const QString& path, bool& ok)
{
    QFile file(path);
    ok = file.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!ok)
        return {};
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1String("MimeType=")))
            return line.mid(9).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DESKTOP_FILE | --list\n", argv[0]);
        return 2;
    }
    const bool listOnly = QString::fromLocal8Bit(argv[1]) == QLatin1String("--list");
    QSet<QString> offered;
    if (!listOnly) {
        bool ok = false;
        const QStringList types = desktopMimeTypes(QString::fromLocal8Bit(argv[1]), ok);
        if (!ok) {
            std::fprintf(stderr, "cannot read %s\n", argv[1]);
            return 2;
        }
        offered = QSet<QString>(types.begin(), types.end());
    }

    QMimeDatabase db;
    int missing = 0;
    QStringList needed;
    const mci::MciExtensionTable table = mci::MciExtensionTable::builtIn();
    for (const auto& entry : table.entries()) {
        if (!playsFiles(entry.device))
            continue;
        const QString ext = QString::fromStdString(entry.extension);
        // An extension may have several types (".ts" is also a translation source):
        // one of them that is audio or video must be offered.
        QList<QMimeType> types;
        for (const QMimeType& type : db.mimeTypesForFileName(QStringLiteral("x.") + ext))
            if (!type.isDefault() && !type.name().startsWith(QLatin1String("text/")))
                types << type;
        if (types.isEmpty())
            continue;  // no registered type: nothing a desktop could match
        if (!needed.contains(types.constFirst().name()))
            needed << types.constFirst().name();
        if (listOnly)
            continue;
        bool covered = false;
        for (const QMimeType& type : types) {
            covered = covered || offered.contains(type.name());
            for (const QString& alias : type.aliases())
                covered = covered || offered.contains(alias);
        }
        if (!covered) {
            std::printf("missing %s (.%s)\n", qPrintable(types.constFirst().name()), qPrintable(ext));
            ++missing;
        }
    }
    if (listOnly)
        std::printf("%s;\n", qPrintable(needed.join(QLatin1Char(';'))));
    return missing == 0 ? 0 : 1;
}
