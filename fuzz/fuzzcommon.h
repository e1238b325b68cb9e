#pragma once

// Shared pieces of the fuzz targets: input splitting, a scratch data folder,
// a silent dialog seam and a check that stops the run on a broken invariant.

#include "app/dialogseam.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// A broken invariant is a finding: report it and abort, so that the fuzzer
// keeps the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace orv::fuzz {

inline QByteArrayView bytesOf(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Splits an input into parts at the marker below (the last part takes the
// rest): one input can carry an index file and a file it names.
inline constexpr QByteArrayView kPartMarker = "\n@@PART@@\n";

inline QList<QByteArrayView> splitParts(QByteArrayView input, int maxParts)
{
    QList<QByteArrayView> parts;
    while (parts.size() + 1 < maxParts) {
        const qsizetype at = input.indexOf(kPartMarker);
        if (at < 0)
            break;
        parts.append(input.first(at));
        input = input.sliced(at + kPartMarker.size());
    }
    parts.append(input);
    while (parts.size() < maxParts)
        parts.append(QByteArrayView());
    return parts;
}

// Messages and questions of the code under test go nowhere; every question
// gets its default answer.
class SilentDialogs : public DialogSeam {
public:
    MsgAnswer message(const MessageRequest& request) override { return request.defaultAnswer; }
    QString fileDialog(const FileDialogRequest&) override { return {}; }
};

// Qt's warnings about odd inputs (a file name holding a NUL) are expected
// here and would only fill the logs.
inline void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}

// The process-wide setup: an application object (some code asks for the
// program folder), the silent seam and no Qt warnings.
inline void initOnce()
{
    static const bool quiet = (qInstallMessageHandler(quietMessages), true);
    static_cast<void>(quiet);
    static int argc = 1;
    static char name[] = "orvane-fuzz";
    static char* argv[] = {name, nullptr};
    static const auto app = std::make_unique<QCoreApplication>(argc, argv);
    static SilentDialogs dialogs;
    static const bool installed = (InstallDialogs(&dialogs), true);
    static_cast<void>(app);
    static_cast<void>(installed);
}

// One temporary data folder for the whole run, emptied before each input.
class ScratchFolder {
public:
    static ScratchFolder& instance()
    {
        static ScratchFolder folder;
        return folder;
    }
    const QString& path() const { return m_path; }
    QString filePath(const QString& name) const { return m_path + QLatin1Char('/') + name; }
    void clear()
    {
        QDir dir(m_path);
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            dir.remove(name);
    }
    void write(const QString& name, QByteArrayView bytes)
    {
        QFile file(filePath(name));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
    }

private:
    ScratchFolder() : m_path(m_dir.path()) { FUZZ_CHECK(m_dir.isValid()); }
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace orv::fuzz
