#pragma once

#include "app/docsnapshot.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QObject;
class QWebEnginePage;

namespace orv {

// The bridge between a browser page's live document and the program's own
// code. The engine's document model is reachable only by scripts that run
// inside the page and answer later, so the program reads a document in one
// go: a script walks it and hands back plain data (DocSnapshot), on which
// the rest of the program works.
//
// Both calls below never block and never answer inside the call itself: the
// callback runs later on the user-interface thread, exactly once, unless
// `context` (when given) is destroyed first. Pass the object whose members
// the callback touches as `context`.

using SnapshotCallback = std::function<void(const DocSnapshot& snapshot)>;
using ScriptCallback = std::function<void(const QVariant& result)>;

// Takes a snapshot of the document shown in `page` (see DocSnapshot). The
// script runs in an isolated world, so the page's own scripts can neither
// see nor falsify it. Frames of the document's own origin are walked from
// the document; frames of other origins are marked as refused. The snapshot
// is invalid (with `error` set) when the page has no document to give: no
// page, a discarded page, a page closed or a renderer gone meanwhile.
void TakeDocSnapshot(QWebEnginePage* page, QObject* context, SnapshotCallback done);
// The same, handing over the snapshot itself, so that it can go on to other
// work without a copy. The snapshot of a large document is read off the
// user-interface thread; the callback runs on it.
using SharedSnapshotCallback = std::function<void(std::shared_ptr<const DocSnapshot> snapshot)>;
void TakeSharedDocSnapshot(QWebEnginePage* page, QObject* context, SharedSnapshotCallback done);

// A small snapshot of the document in `page`, enough to tell which pages can
// be made of it and which feeds it announces: url, title, content type,
// HTML document, protocol and pathname as in a full one; of the elements only
// the root, every LINK element (attributes "type", "title" and "href"
// only), and the root's BODY or FRAMESET, which holds a single EMBED element
// when it holds any. Cheap on a page of any size; answers as TakeDocSnapshot.
void TakeDocOutline(QWebEnginePage* page, QObject* context, SnapshotCallback done);

// The script that TakeDocSnapshot runs; its result is the snapshot's JSON text.
const QString& DocSnapshotScript();

// Runs `script` in the page's main world, where the page's own variables and
// functions are visible (as the page's scripts would run it). `done`, when
// given, receives the script's completion value (an invalid QVariant when
// the page went away).
void ExecScript(QWebEnginePage* page, const QString& script, QObject* context = nullptr,
                ScriptCallback done = {});

} // namespace orv
