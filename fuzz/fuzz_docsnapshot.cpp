// The document-snapshot decoder: the JSON the document bridge hands over,
// read into a snapshot and its element tree, and the nested node form.

#include "fuzzcommon.h"

#include "app/docsnapshot.h"

#include <QJsonDocument>

using namespace orv;
using namespace orv::fuzz;

namespace {

void checkTree(const DocNode& root)
{
    const QList<const DocNode*> all = root.all();
    FUZZ_CHECK(all.size() == root.descendantCount());
    for (const DocNode* node : all)
        FUZZ_CHECK(node != nullptr);
    if (!root.nodeName.isEmpty())
        FUZZ_CHECK(root.findFirst(root.nodeName) == &root);
}

void checkSnapshot(const DocSnapshot& snapshot, int depth)
{
    FUZZ_CHECK(depth <= DocSnapshot::MaxFrameDepth + 1);
    const QList<const DocNode*> elements = snapshot.elements();
    FUZZ_CHECK(elements.size() == snapshot.elementCount());
    for (int i = 0; i < elements.size(); ++i)
        FUZZ_CHECK(snapshot.element(i) == elements[i]);
    FUZZ_CHECK(snapshot.element(-1) == nullptr);
    FUZZ_CHECK(snapshot.element(int(elements.size())) == nullptr);
    if (const DocNode* body = snapshot.body())
        checkTree(*body);
    checkTree(snapshot.root);
    const DocNode* active = snapshot.activeElement();
    if (active)
        FUZZ_CHECK(elements.contains(active));
    if (const FrameSnapshot* frame = snapshot.activeFrame())
        FUZZ_CHECK(frame->elementIndex == snapshot.activeIndex);
    for (const FrameSnapshot& frame : snapshot.frames) {
        FUZZ_CHECK(snapshot.frameAt(frame.elementIndex) != nullptr);
        if (frame.document)
            checkSnapshot(*frame.document, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    initOnce();
    const QByteArray json = bytesOf(data, size).toByteArray();
    const DocSnapshot snapshot = DocSnapshot::fromJson(json);
    checkSnapshot(snapshot, 0);
    for (const QString& tag : DocSnapshot::TextTags())
        FUZZ_CHECK(DocSnapshot::KeepsText(tag));

    // Written and read again, a snapshot stays the same.
    const QJsonObject written = snapshot.toJson();
    const DocSnapshot again = DocSnapshot::fromJson(written);
    FUZZ_CHECK(again.toJson() == written);
    FUZZ_CHECK(again.elementCount() == snapshot.elementCount());

    // The same text as one node of the nested form.
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (document.isObject()) {
        const DocNode node = DocNode::fromJson(document.object());
        checkTree(node);
        const QJsonObject nodeJson = node.toJson();
        FUZZ_CHECK(DocNode::fromJson(nodeJson).toJson() == nodeJson);
    }
    return 0;
}
