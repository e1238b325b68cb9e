#include "app/docnode.h"

#include <QJsonArray>

namespace orv {

namespace {

DocNode readJson(const QJsonObject& object, int depth)
{
    DocNode node;
    node.nodeName = object.value(QLatin1String("name")).toString().toUpper();
    node.innerText = object.value(QLatin1String("text")).toString();
    node.href = object.value(QLatin1String("href")).toString();
    node.src = object.value(QLatin1String("src")).toString();
    const QJsonObject attrs = object.value(QLatin1String("attrs")).toObject();
    for (auto it = attrs.begin(); it != attrs.end(); ++it)
        node.attributes.insert(it.key().toLower(), it.value().toString());
    node.firstChildName = object.value(QLatin1String("first")).toString();
    if (depth < DocNode::MaxDepth) {
        const QJsonArray children = object.value(QLatin1String("children")).toArray();
        node.children.reserve(size_t(children.size()));
        for (const QJsonValue& child : children)
            if (child.isObject())
                node.children.push_back(readJson(child.toObject(), depth + 1));
    }
    return node;
}

} // namespace

QString DocNode::attribute(QStringView name) const
{
    return attributes.value(name.toString().toLower());
}

bool DocNode::hasAttribute(QStringView name) const
{
    return attributes.contains(name.toString().toLower());
}

QList<const DocNode*> DocNode::all() const
{
    QList<const DocNode*> result;
    // Depth-first in document order without recursion.
    std::vector<const DocNode*> pending;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        pending.push_back(&*it);
    while (!pending.empty()) {
        const DocNode* node = pending.back();
        pending.pop_back();
        result.append(node);
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
            pending.push_back(&*it);
    }
    return result;
}

qsizetype DocNode::descendantCount() const
{
    qsizetype count = 0;
    std::vector<const DocNode*> pending{this};
    while (!pending.empty()) {
        const DocNode* node = pending.back();
        pending.pop_back();
        count += qsizetype(node->children.size());
        for (const DocNode& child : node->children)
            pending.push_back(&child);
    }
    return count;
}

const DocNode* DocNode::findFirst(QStringView name) const
{
    if (nodeName == name)
        return this;
    for (const DocNode* node : all())
        if (node->nodeName == name)
            return node;
    return nullptr;
}

QJsonObject DocNode::toJson() const
{
    QJsonObject object;
    object.insert(QLatin1String("name"), nodeName);
    if (!innerText.isEmpty())
        object.insert(QLatin1String("text"), innerText);
    if (!href.isEmpty())
        object.insert(QLatin1String("href"), href);
    if (!src.isEmpty())
        object.insert(QLatin1String("src"), src);
    if (!attributes.isEmpty()) {
        QJsonObject attrs;
        for (auto it = attributes.begin(); it != attributes.end(); ++it)
            attrs.insert(it.key(), it.value());
        object.insert(QLatin1String("attrs"), attrs);
    }
    if (!firstChildName.isEmpty())
        object.insert(QLatin1String("first"), firstChildName);
    if (!children.empty()) {
        QJsonArray list;
        for (const DocNode& child : children)
            list.append(child.toJson());
        object.insert(QLatin1String("children"), list);
    }
    return object;
}

DocNode DocNode::fromJson(const QJsonObject& object)
{
    return readJson(object, 0);
}

} // namespace orv
