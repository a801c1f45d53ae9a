#include "UnitHyperlink.h"

#include <QPushButton>

#include "ui_UnitHyperlink.h"

namespace zv {

TFormHyperlink::TFormHyperlink(QWidget* Parent)
    : QDialog(Parent), Form(std::make_unique<Ui::FormHyperlink>())
{
    Form->setupUi(this);
    connect(Form->EditUrl, &QLineEdit::textChanged, this, [this](const QString& Text) {
        Form->Buttons->button(QDialogButtonBox::Ok)->setEnabled(!Text.trimmed().isEmpty());
    });
}

TFormHyperlink::~TFormHyperlink() = default;

QString TFormHyperlink::Url() const { return Form->EditUrl->text().trimmed(); }

void TFormHyperlink::SetUrl(const QString& Url)
{
    Form->EditUrl->setText(Url);
    Form->Buttons->button(QDialogButtonBox::Ok)->setEnabled(!Url.trimmed().isEmpty());
}

bool TFormHyperlink::Execute(QString& Url)
{
    SetUrl(Url);
    Form->EditUrl->setFocus();
    Form->EditUrl->selectAll();
    if (exec() != QDialog::Accepted || this->Url().isEmpty()) return false;
    Url = this->Url();
    return true;
}

}  // namespace zv
