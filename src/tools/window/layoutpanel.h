#pragma once

#include "layouts/layoutbook.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace orv {

class ToolsHost;

// The name and description of a layout, asked when one is added or edited.
// OK checks the name and closes with 1; the caller reads the fields back.
class frmWLProperty : public QDialog {
    Q_OBJECT
public:
    // `takenNames`: the names of the archived layouts; adding a layout under
    // one of them (exactly) asks first.
    frmWLProperty(QWidget* parent, bool bNewWL, const QString& name, const QString& info,
                  const QStringList& takenNames);

    void Ok_Click();
    QString Name() const;
    QString Info() const;

    QLineEdit* nameEdit = nullptr;        // Text1: name
    QLineEdit* descriptionEdit = nullptr; // Text2: description
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;

private:
    bool m_new = true;
    QStringList m_takenNames;
};

// The layout tab of the tools window: the archived layouts as a tree
// (layout, its windows, their details), adding the open windows as a new
// layout, properties, deleting, sorting the display, and opening a whole
// layout or one window of it.
class LayoutPanel : public QObject {
    Q_OBJECT
public:
    static inline const QString TagLayout = QStringLiteral("layout");
    static inline const QString TagWin = QStringLiteral("win");
    static inline const QString TagInfo = QStringLiteral("info");
    enum Role { KeyRole = 0x0100, TagRole, ImageRole };

    LayoutPanel(ToolsHost& host, QWidget* window, const QString& dataFolder);
    ~LayoutPanel() override;

    QTreeWidget* TreeView2() const { return m_tree; }
    QToolBar* Toolbar3() const { return m_toolbar; }
    QToolButton* Button(const QString& key) const;
    QMenu* ModifyMenu() const { return m_menu; }
    QAction* MenuItem(const QString& name) const;
    LayoutBook& WLBuch() { return m_book; }

    static QString NodeKey(const QTreeWidgetItem* node);
    static QString NodeTag(const QTreeWidgetItem* node);
    QTreeWidgetItem* Selected() const;
    // Position in the book of the layout that a layout node's key names; 0
    // when none.
    int GetLayoutIdx(const QString& key) const;

    void LoadLayoutArchive();
    void AddLayoutNode(const LayoutItem& item, QTreeWidgetItem* relative, bool bExp);
    void mn_AddLayout_Click();
    void AddLayoutToArchive(const QString& sName, const QString& sInfo, bool bExp);
    void UpdateLayout(int nKey, const QString& sName, const QString& sInfo);
    void mn_LayoutProp_Click();
    void mn_DelLayout_Click();
    void OpenLayoutSelection();
    void UpdateLayoutCommands();
    // Sorts the display only; the book keeps its order.
    void SortLayoutList();
    void ShowModifyMenu();

    // Texts handed to and from the dialog.
    QString WLTitel;
    QString WLInfo;

Q_SIGNALS:
    // A text for the status panel of the tools window.
    void statusText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The dialog; true when it was accepted.
    bool runDialog(bool bNewWL);
    void setStatus(const QString& text);

    ToolsHost& m_host;
    QWidget* m_window;
    LayoutBook m_book;
    QTreeWidget* m_tree = nullptr;
    QToolBar* m_toolbar = nullptr;
    QMenu* m_menu = nullptr;
};

} // namespace orv
