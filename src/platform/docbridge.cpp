#include "platform/docbridge.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QtConcurrent/QtConcurrentRun>

namespace orv {

namespace {

// Walks a document and returns its snapshot as JSON text (the format of
// DocSnapshot::fromJson). %1: the text tags as an object {"A":1, ...},
// %2: deepest element nesting, %3: deepest frame nesting, %4: longest text.
// Everything is read in one pass: each element's attributes, resolved href
// and src, first child's name, and innerText only for the text tags.
constexpr char kScript[] = R"JS((function () {
  'use strict';
  var TEXT = %1, MAX_DEPTH = %2, MAX_FRAME_DEPTH = %3, MAX_TEXT = %4;
  function childName(node) {
    var c = node.firstChild;
    if (!c) return '';
    return c.nodeType === 1 ? c.nodeName.toUpperCase() : c.nodeName;
  }
  function frame(el, index, frameDepth) {
    var doc = null;
    try { doc = el.contentDocument; } catch (e) { doc = null; }
    if (!doc) return {i: index, refused: true};
    if (frameDepth >= MAX_FRAME_DEPTH) return {i: index};
    return {i: index, doc: snap(doc, frameDepth + 1)};
  }
  function snap(doc, frameDepth) {
    var loc = doc.location;
    var out = {url: doc.URL, title: doc.title, type: doc.contentType,
               html: Object.prototype.toString.call(doc) === '[object HTMLDocument]',
               protocol: loc ? loc.protocol : '', pathname: loc ? loc.pathname : '',
               active: -1, forms: [], nodes: [], frames: []};
    var nodes = out.nodes, active = doc.activeElement;
    function walk(el, depth) {
      var index = nodes.length, name = el.nodeName.toUpperCase();
      var rec = {d: depth, n: name}, first = childName(el), attrs = el.attributes;
      if (first) rec.f = first;
      if (attrs && attrs.length) {
        var a = {};
        for (var i = 0; i < attrs.length; ++i) {
          var key = attrs[i].name.toLowerCase();
          if (!(key in a)) a[key] = attrs[i].value;
        }
        rec.a = a;
      }
      if (typeof el.href === 'string' && el.href && el.hasAttribute('href')) rec.h = el.href;
      if (typeof el.src === 'string' && el.src && el.hasAttribute('src')) rec.s = el.src;
      if (TEXT[name] === 1) {
        var t = typeof el.innerText === 'string' ? el.innerText : el.textContent;
        if (t) rec.t = t.length > MAX_TEXT ? t.substring(0, MAX_TEXT) : t;
      }
      nodes.push(rec);
      if (el === active) out.active = index;
      if (name === 'FRAME' || name === 'IFRAME') out.frames.push(frame(el, index, frameDepth));
      if (depth < MAX_DEPTH)
        for (var c = el.firstElementChild; c; c = c.nextElementSibling) walk(c, depth + 1);
    }
    if (doc.documentElement) walk(doc.documentElement, 0);
    var forms = doc.forms;
    if (forms)
      for (var k = 0; k < forms.length; ++k) out.forms.push(forms[k].outerHTML);
    return out;
  }
  try {
    return JSON.stringify(snap(document, 0));
  } catch (e) {
    return JSON.stringify({error: String(e)});
  }
})())JS";

// A small snapshot of a document (the format of DocSnapshot::fromJson):
// its facts, its root, every LINK element with its "type", "title" and
// "href" as written, and the root's BODY (or FRAMESET) with one EMBED child
// when it holds an EMBED anywhere. Its cost does not grow with the page.
constexpr char kOutlineScript[] = R"JS((function () {
  'use strict';
  try {
    var doc = document, loc = doc.location, root = doc.documentElement;
    var out = {url: doc.URL, title: doc.title, type: doc.contentType,
               html: Object.prototype.toString.call(doc) === '[object HTMLDocument]',
               protocol: loc ? loc.protocol : '', pathname: loc ? loc.pathname : '',
               active: -1, forms: [], nodes: [], frames: []};
    if (!root) return JSON.stringify(out);
    out.nodes.push({d: 0, n: root.nodeName.toUpperCase()});
    var links = doc.getElementsByTagName('link');
    for (var i = 0; i < links.length; ++i) {
      var a = {};
      ['type', 'title', 'href'].forEach(function (key) {
        var value = links[i].getAttribute(key);
        if (value !== null) a[key] = value;
      });
      out.nodes.push({d: 1, n: 'LINK', a: a});
    }
    for (var c = root.firstElementChild; c; c = c.nextElementSibling) {
      var name = c.nodeName.toUpperCase();
      if (name !== 'BODY' && name !== 'FRAMESET') continue;
      out.nodes.push({d: 1, n: name});
      if (c.getElementsByTagName('embed').length) out.nodes.push({d: 2, n: 'EMBED'});
      break;
    }
    return JSON.stringify(out);
  } catch (e) {
    return JSON.stringify({error: String(e)});
  }
})())JS";

QString buildScript()
{
    QString tags = QStringLiteral("{");
    for (const QString& tag : DocSnapshot::TextTags())
        tags += QLatin1Char('"') + tag + QStringLiteral("\":1,");
    tags.chop(1);
    tags += QLatin1Char('}');
    return QString::fromLatin1(kScript)
        .arg(tags)
        .arg(DocNode::MaxDepth)
        .arg(DocSnapshot::MaxFrameDepth)
        .arg(DocSnapshot::MaxTextLength);
}

// Runs `script` in `world` and hands its result to `finish` later, through
// the event loop: never inside this call (the engine answers at once for a
// discarded page), never inside the page's destructor (the engine answers
// pending scripts there), and not at all once `context` is gone.
void runLater(QWebEnginePage* page, const QString& script, quint32 world, QObject* context,
              std::function<void(const QVariant&)> finish)
{
    // The timer is tied to the receiver: it is dropped when the receiver goes.
    QPointer<QObject> receiver(context ? context : QCoreApplication::instance());
    auto post = [receiver, finish = std::move(finish)](const QVariant& result) {
        if (receiver)
            QTimer::singleShot(0, receiver.data(), [finish, result] { finish(result); });
    };
    if (page)
        page->runJavaScript(script, world, post);
    else
        post(QVariant());
}

} // namespace

const QString& DocSnapshotScript()
{
    static const QString script = buildScript();
    return script;
}

void TakeSharedDocSnapshot(QWebEnginePage* page, QObject* context, SharedSnapshotCallback done)
{
    QPointer<QObject> receiver(context ? context : QCoreApplication::instance());
    runLater(page, DocSnapshotScript(), QWebEngineScript::ApplicationWorld, context,
             [receiver, done = std::move(done)](const QVariant& result) {
                 if (result.typeId() != QMetaType::QString || !receiver) {
                     auto none = std::make_shared<DocSnapshot>();
                     none->error = QStringLiteral("no document");
                     done(std::move(none));
                     return;
                 }
                 // The text of a large document runs to tens of megabytes:
                 // it is read on a worker, and the answer comes back here.
                 // The watcher goes with the receiver: then nothing answers.
                 using Read = std::shared_ptr<const DocSnapshot>;
                 auto* watcher = new QFutureWatcher<Read>(receiver.data());
                 QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, done] {
                     done(watcher->result());
                     watcher->deleteLater();
                 });
                 watcher->setFuture(QtConcurrent::run([json = result.toString()] {
                     return Read(
                         std::make_shared<DocSnapshot>(DocSnapshot::fromJson(json.toUtf8())));
                 }));
             });
}

void TakeDocOutline(QWebEnginePage* page, QObject* context, SnapshotCallback done)
{
    runLater(page, QString::fromLatin1(kOutlineScript), QWebEngineScript::ApplicationWorld, context,
             [done = std::move(done)](const QVariant& result) {
                 if (result.typeId() != QMetaType::QString) {
                     DocSnapshot none;
                     none.error = QStringLiteral("no document");
                     done(none);
                     return;
                 }
                 done(DocSnapshot::fromJson(result.toString().toUtf8()));
             });
}

void TakeDocSnapshot(QWebEnginePage* page, QObject* context, SnapshotCallback done)
{
    TakeSharedDocSnapshot(
        page, context,
        [done = std::move(done)](std::shared_ptr<const DocSnapshot> snapshot) { done(*snapshot); });
}

void ExecScript(QWebEnginePage* page, const QString& script, QObject* context, ScriptCallback done)
{
    if (!done) {
        if (page)
            page->runJavaScript(script, QWebEngineScript::MainWorld);
        return;
    }
    runLater(page, script, QWebEngineScript::MainWorld, context, std::move(done));
}

} // namespace orv
