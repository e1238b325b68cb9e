#include "app/docsnapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace orv {

namespace {

// JSON keys. A node is {"d": depth, "n": name, "f": first child name,
// "t": text, "h": href, "s": src, "a": {attributes}}; the nodes come as one
// flat list in element order, so that deep documents need no deep nesting.
const QLatin1String kUrl("url"), kTitle("title"), kType("type"), kHtml("html"),
    kProtocol("protocol"), kPathname("pathname"), kActive("active"), kForms("forms"),
    kNodes("nodes"), kFrames("frames"), kError("error"), kIndex("i"), kRefused("refused"),
    kDoc("doc"), kDepth("d"), kName("n"), kFirst("f"), kText("t"), kHref("h"), kSrc("s"),
    kAttrs("a");

DocNode readNode(const QJsonObject& object)
{
    DocNode node;
    node.nodeName = object.value(kName).toString().toUpper();
    node.firstChildName = object.value(kFirst).toString();
    node.innerText = object.value(kText).toString();
    node.href = object.value(kHref).toString();
    node.src = object.value(kSrc).toString();
    const QJsonObject attrs = object.value(kAttrs).toObject();
    for (auto it = attrs.begin(); it != attrs.end(); ++it)
        node.attributes.insert(it.key().toLower(), it.value().toString());
    return node;
}

// Rebuilds the tree from the flat list; returns the number of nodes taken.
int readTree(const QJsonArray& nodes, DocNode& root)
{
    // The chain of open elements: stack[d] is the last element at depth d.
    // Only the last child of each is ever extended, so the pointers stay
    // valid while siblings are appended further down.
    std::vector<DocNode*> stack;
    int taken = 0;
    for (const QJsonValue& value : nodes) {
        const QJsonObject object = value.toObject();
        const int depth = object.value(kDepth).toInt(-1);
        if (taken == 0) {
            if (depth != 0)
                break;
            root = readNode(object);
            stack.push_back(&root);
        } else {
            if (depth < 1 || depth > int(stack.size()) || depth > DocNode::MaxDepth)
                break;
            stack.resize(size_t(depth));
            DocNode* parent = stack.back();
            parent->children.push_back(readNode(object));
            stack.push_back(&parent->children.back());
        }
        ++taken;
    }
    return taken;
}

DocSnapshot readSnapshot(const QJsonObject& object, int frameDepth)
{
    DocSnapshot snapshot;
    if (object.contains(kError) || !object.contains(kNodes)) {
        snapshot.error = object.value(kError).toString(QStringLiteral("no document"));
        return snapshot;
    }
    snapshot.valid = true;
    snapshot.url = object.value(kUrl).toString();
    snapshot.title = object.value(kTitle).toString();
    snapshot.contentType = object.value(kType).toString();
    snapshot.htmlDocument = object.value(kHtml).toBool();
    snapshot.protocol = object.value(kProtocol).toString();
    snapshot.pathname = object.value(kPathname).toString();
    readTree(object.value(kNodes).toArray(), snapshot.root);
    // A root without a name is no element: the active element and the frames
    // must point into the element order as elements() gives it.
    const int count = snapshot.elementCount();
    const int active = object.value(kActive).toInt(-1);
    snapshot.activeIndex = active >= 0 && active < count ? active : -1;
    for (const QJsonValue& form : object.value(kForms).toArray())
        snapshot.forms.append(form.toString());
    for (const QJsonValue& value : object.value(kFrames).toArray()) {
        const QJsonObject frameObject = value.toObject();
        FrameSnapshot frame;
        frame.elementIndex = frameObject.value(kIndex).toInt(-1);
        if (frame.elementIndex < 0 || frame.elementIndex >= count)
            continue;
        frame.refused = frameObject.value(kRefused).toBool();
        if (!frame.refused && frameObject.contains(kDoc) && frameDepth < DocSnapshot::MaxFrameDepth)
            frame.document = std::make_shared<const DocSnapshot>(
                readSnapshot(frameObject.value(kDoc).toObject(), frameDepth + 1));
        snapshot.frames.push_back(std::move(frame));
    }
    return snapshot;
}

void writeNodes(const DocNode& node, int depth, QJsonArray& out)
{
    QJsonObject object;
    object.insert(kDepth, depth);
    object.insert(kName, node.nodeName);
    if (!node.firstChildName.isEmpty())
        object.insert(kFirst, node.firstChildName);
    if (!node.innerText.isEmpty())
        object.insert(kText, node.innerText);
    if (!node.href.isEmpty())
        object.insert(kHref, node.href);
    if (!node.src.isEmpty())
        object.insert(kSrc, node.src);
    if (!node.attributes.isEmpty()) {
        QJsonObject attrs;
        for (auto it = node.attributes.begin(); it != node.attributes.end(); ++it)
            attrs.insert(it.key(), it.value());
        object.insert(kAttrs, attrs);
    }
    out.append(object);
    if (depth < DocNode::MaxDepth)
        for (const DocNode& child : node.children)
            writeNodes(child, depth + 1, out);
}

} // namespace

QList<const DocNode*> DocSnapshot::elements() const
{
    if (root.nodeName.isEmpty())
        return {};
    QList<const DocNode*> result{&root};
    result.append(root.all());
    return result;
}

int DocSnapshot::elementCount() const
{
    return root.nodeName.isEmpty() ? 0 : int(root.descendantCount()) + 1;
}

const DocNode* DocSnapshot::element(int index) const
{
    if (index < 0)
        return nullptr;
    const QList<const DocNode*> list = elements();
    return index < list.size() ? list.at(index) : nullptr;
}

const DocNode* DocSnapshot::body() const
{
    for (const DocNode& child : root.children)
        if (child.nodeName == QLatin1String("BODY") || child.nodeName == QLatin1String("FRAMESET"))
            return &child;
    return nullptr;
}

const DocNode* DocSnapshot::activeElement() const
{
    return element(activeIndex);
}

const FrameSnapshot* DocSnapshot::frameAt(int elementIndex) const
{
    for (const FrameSnapshot& frame : frames)
        if (frame.elementIndex == elementIndex)
            return &frame;
    return nullptr;
}

const FrameSnapshot* DocSnapshot::activeFrame() const
{
    return activeIndex < 0 ? nullptr : frameAt(activeIndex);
}

QJsonObject DocSnapshot::toJson() const
{
    QJsonObject object;
    if (!valid) {
        object.insert(kError, error.isEmpty() ? QStringLiteral("no document") : error);
        return object;
    }
    object.insert(kUrl, url);
    object.insert(kTitle, title);
    object.insert(kType, contentType);
    object.insert(kHtml, htmlDocument);
    object.insert(kProtocol, protocol);
    object.insert(kPathname, pathname);
    object.insert(kActive, activeIndex);
    object.insert(kForms, QJsonArray::fromStringList(forms));
    QJsonArray nodes;
    if (!root.nodeName.isEmpty())
        writeNodes(root, 0, nodes);
    object.insert(kNodes, nodes);
    QJsonArray frameList;
    for (const FrameSnapshot& frame : frames) {
        QJsonObject frameObject;
        frameObject.insert(kIndex, frame.elementIndex);
        if (frame.refused)
            frameObject.insert(kRefused, true);
        if (frame.document)
            frameObject.insert(kDoc, frame.document->toJson());
        frameList.append(frameObject);
    }
    object.insert(kFrames, frameList);
    return object;
}

DocSnapshot DocSnapshot::fromJson(const QJsonObject& object)
{
    return readSnapshot(object, 0);
}

DocSnapshot DocSnapshot::fromJson(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        DocSnapshot snapshot;
        snapshot.error = parseError.error != QJsonParseError::NoError
                             ? parseError.errorString()
                             : QStringLiteral("no document");
        return snapshot;
    }
    return fromJson(document.object());
}

const QStringList& DocSnapshot::TextTags()
{
    static const QStringList tags = {
        QStringLiteral("A"),       QStringLiteral("B"),      QStringLiteral("BUTTON"),
        QStringLiteral("CAPTION"), QStringLiteral("DD"),     QStringLiteral("DT"),
        QStringLiteral("EM"),      QStringLiteral("FONT"),   QStringLiteral("H1"),
        QStringLiteral("H2"),      QStringLiteral("H3"),     QStringLiteral("H4"),
        QStringLiteral("H5"),      QStringLiteral("H6"),     QStringLiteral("I"),
        QStringLiteral("LABEL"),   QStringLiteral("LEGEND"), QStringLiteral("LI"),
        QStringLiteral("OPTION"),  QStringLiteral("P"),      QStringLiteral("SPAN"),
        QStringLiteral("STRONG"),  QStringLiteral("TD"),     QStringLiteral("TH"),
        QStringLiteral("TITLE"),   QStringLiteral("U")};
    return tags;
}

bool DocSnapshot::KeepsText(QStringView tag)
{
    return TextTags().contains(tag);
}

} // namespace orv
