#pragma once

#include "app/docsnapshot.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWebEnginePage;
class QWebEngineProfile;

namespace orv {

// The page without a window that reads bookmark files for the import (the
// tools window's and the data tool's): it loads the file with the web engine
// and hands over a snapshot of the parsed document. Only a load it started
// itself is reported; a newer load replaces one still running.
class BookmarkFileLoader : public QObject {
    Q_OBJECT
public:
    // The page lives in `profile` (the browser's profile when null), which
    // must outlive the loader.
    explicit BookmarkFileLoader(QObject* parent = nullptr, QWebEngineProfile* profile = nullptr);
    ~BookmarkFileLoader() override;

    // Starts loading the local file at `path`.
    void load(const QString& path);
    bool isLoading() const { return m_loading; }
    QWebEnginePage* page() const;

Q_SIGNALS:
    // The document of the file (invalid when it could not be read).
    void loaded(const orv::DocSnapshot& document);

private:
    QPointer<QWebEnginePage> m_page;
    quint64 m_generation = 0;
    bool m_loading = false;
};

} // namespace orv
