#pragma once
#include "core/Form.h"

#include <QPointer>

class LinkLabel;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class cTabControl;
class cTreeNode;

// "Items List Properties": the name, path and content summary of one node of
// the tree, and a new name for it. Not modal: it stays with the node it was
// opened for, whichever node the user selects meanwhile.
class CfrmDirProperties : public Form {
    Q_OBJECT
public:
    CfrmDirProperties();

    // Whether OK applies a new name.
    bool bEditFolderName = false;

    QFrame* picTitle;
    QLabel* lblTitle;
    cTabControl* cTabControl1;
    QFrame* TabGeneral;
    QLabel* lblFolderName;
    QLineEdit* txtFolderName;
    QLabel* lblPath;
    QLineEdit* txtPath;
    QLabel* lblThisFolderContain;
    QLabel* lblContain;
    QLabel* imgOpenDestFolder;
    LinkLabel* lblOpenDestinationDestinationFolder;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // Fills the fields from the node and the summary text; the dialog works on that node from now on.
    void ShowNode(cTreeNode* node, const QString& summary);
    // The node the dialog was opened for; nullptr once it left the tree.
    cTreeNode* Node() const;

    void cmdOk_Click();
    void cmdCancel_Click();
    void lblOpenDestinationDestinationFolder_Click();

protected:
    void Form_Load() override;

private:
    // Says why the name cannot be taken and puts the focus back in the box.
    void RefuseName(const QString& message);

    QPointer<QObject> m_node; // the cTreeNode
};

extern DefaultInstance<CfrmDirProperties> g_frmDirProperties;
