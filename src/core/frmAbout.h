#pragma once
#include "core/Form.h"

class LinkLabel;
class QFrame;
class QLabel;
class QPushButton;
class cTabControl;

// The About window: the product's name, versions and description, and links
// to the maker's web pages.
class CfrmAbout : public Form {
    Q_OBJECT
public:
    CfrmAbout();

    QFrame* picTitle;
    QLabel* lblTitle;
    cTabControl* cTabControl1;
    QFrame* picAbout;
    QLabel* lblAppName;
    QLabel* lblVersionInside;
    QLabel* lblDesc;
    LinkLabel* lblHomePage;
    LinkLabel* lblSite;
    LinkLabel* lblProducts;
    LinkLabel* lblSupport;
    LinkLabel* lblDeveloper;
    QLabel* lblCorvessa;
    LinkLabel* lblCorvessaAddress;
    QPushButton* cmdOK;

    void HideTabPages();
    void cTabControl1_TabClick();
    void cmdOK_Click();
    void lblHomePage_Click();
    void lblSite_Click();
    void lblProducts_Click();
    void lblSupport_Click();
    void lblDeveloper_Click();
    void lblCorvessaAddress_Click();

protected:
    void Form_Load() override;
};

extern DefaultInstance<CfrmAbout> frmAbout;

// The fixed addresses of the About window's maker links.
inline constexpr const char* kDeveloperComponentsSite = "https://brenmark.example.org/components.html";
inline constexpr const char* kCompanySite = "https://brenmark.example.org";
