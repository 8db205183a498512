#include "core/Form.h"

#include "platform/ModalRunner.h"

#include <QCloseEvent>
#include <algorithm>

namespace {
std::vector<Form*>& registry()
{
    static std::vector<Form*> forms;
    return forms;
}
} // namespace

Form::Form(const QString& name, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(name);
}

Form::~Form()
{
    auto& forms = registry();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void Form::Load()
{
    if (m_loaded || m_loading || m_unloaded) return;
    m_loading = true;
    registry().push_back(this);
    LoadHistory().append(objectName());
    Form_Load();
    m_loading = false;
    m_loaded = true;
}

void Form::Show()
{
    Load();
    if (m_unloaded) return;
    show();
    if (isMinimized()) showNormal();
}

void Form::ShowModal()
{
    Load();
    if (m_unloaded) return;
    // A window that unloads itself while shown is destroyed only after the modal
    // show returns, so its opener may still read it.
    m_inModal = true;
    QPointer<Form> self(this);
    platform::RunModal(this);
    if (!self) return;
    m_inModal = false;
    if (m_unloaded) deleteLater();
}

void Form::Hide() { hide(); }

bool Form::Unload()
{
    if (m_unloaded) return true;
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) return false;
    m_unloaded = true;
    hide();
    auto& forms = registry();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    Form_Terminate();
    if (!m_inModal) deleteLater();
    return true;
}

std::vector<Form*> Form::Forms()
{
    std::vector<Form*> loaded;
    for (Form* f : registry())
        if (!f->m_unloaded) loaded.push_back(f);
    return loaded;
}

QStringList& Form::LoadHistory()
{
    static QStringList history;
    return history;
}

void Form::closeEvent(QCloseEvent* event)
{
    if (Unload())
        event->accept();
    else
        event->ignore();
}
