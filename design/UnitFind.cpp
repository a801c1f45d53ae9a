#include "UnitFind.h"

#include "ui_UnitFind.h"

namespace zv {

TFormFind::TFormFind(QWidget* Parent) : QDialog(Parent, Qt::Tool), Form(std::make_unique<Ui::FormFind>())
{
    Form->setupUi(this);
    connect(Form->ButtonFindNext, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(Form->EditFind, &QLineEdit::textChanged, this, [this](const QString& Text) {
        Form->ButtonFindNext->setEnabled(!Text.isEmpty());
        Form->LabelStatus->clear();
    });
    Form->ButtonFindNext->setEnabled(false);
}

TFormFind::~TFormFind() = default;

QString TFormFind::FindText() const { return Form->EditFind->text(); }
void TFormFind::SetFindText(const QString& Text) { Form->EditFind->setText(Text); }
bool TFormFind::MatchCase() const { return Form->CheckMatchCase->isChecked(); }
void TFormFind::SetMatchCase(bool Value) { Form->CheckMatchCase->setChecked(Value); }
QString TFormFind::Status() const { return Form->LabelStatus->text(); }

void TFormFind::Execute()
{
    show();
    raise();
    activateWindow();
    Form->EditFind->setFocus();
    Form->EditFind->selectAll();
}

bool TFormFind::FindNext()
{
    const QString Text = FindText();
    const bool Found = !Text.isEmpty() && OnFindNext && OnFindNext(Text, MatchCase());
    Form->LabelStatus->setText(Found ? QString() : tr("Cannot find \"%1\".").arg(Text));
    return Found;
}

}  // namespace zv
