#include "TagEditor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "HtmlEntities.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
#include "ScreenPlaces.h"

namespace zv {

// ---------------------------------------------------------------- colour fields

void PaintColorEdit(QLineEdit* Edit)
{
    QPalette Palette = QApplication::palette(Edit);
    if (!Edit->text().isEmpty()) {
        // a system colour name is weighed as the colour it shows, not by its raw value
        const QColor Color = ToQColor(HtmlColorToColor(ToWide(Edit->text())));
        Palette.setColor(QPalette::Base, Color);
        Palette.setColor(QPalette::Text, ToQColor(ColorEditTextColor(FromQColor(Color))));
    }
    Edit->setPalette(Palette);
}

// ---------------------------------------------------------------- placing a dialog

QPoint PlaceEditor(const QRect& R, const QSize& Size, const QRect& Bounds, const QRect& Area)
{
    // rectangles as left, top, right, bottom with exclusive right and bottom
    const int W = Size.width(), H = Size.height();
    const int RL = R.x(), RT = R.y(), RR = R.x() + R.width(), RB = R.y() + R.height();
    const int DL = Bounds.x() + 10, DT = Bounds.y() + 10;
    const int DR = Bounds.x() + Bounds.width() - 10, DB = Bounds.y() + Bounds.height() - 10;
    const int AR = Area.x() + Area.width(), AB = Area.y() + Area.height();
    const bool InPage = RL < DR && DL < RR && RT < DB && DT < RB;
    int X, Y;
    if (InPage) {
        X = AR > RR + W ? RR : RL - W;
        Y = AB > RB + H ? RB : RT - H;
    } else {
        X = AR > RL + W ? RL : RR - W;
        Y = AB > RT + H ? RT : RB - H;
    }
    X = std::max(DL, std::min(DR - W, X));
    Y = std::max(DT, std::min(DB - H, Y));
    // on the screen before all: a dialog larger than it keeps its top left corner, where its
    // caption and first fields are
    return KeepInside(QRect(QPoint(X, Y), Size), Area).topLeft();
}

// ---------------------------------------------------------------- the dialog base

namespace {

// Swallows every typed character that is not in Allowed; keys without text pass.
class TKeyFilter : public QObject {
public:
    TKeyFilter(QObject* Parent, QString Allowed) : QObject(Parent), Allowed(std::move(Allowed)) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::KeyPress) return false;
        const QString Text = static_cast<QKeyEvent*>(Event)->text();
        for (const QChar C : Text)
            if (C.unicode() >= 32 && C.unicode() != 127 && !Allowed.contains(C)) return true;
        return false;
    }

private:
    QString Allowed;
};

void SetKeyFilter(QLineEdit* Edit, const QString& Allowed)
{
    Edit->installEventFilter(new TKeyFilter(Edit, Allowed));
}

const QString Digits = QStringLiteral("0123456789");

}  // namespace

TTagEditor::TTagEditor(QWidget* Parent) : QDialog(Parent, Qt::Tool) {}

TTagEditor::~TTagEditor() = default;

void TTagEditor::Open(THtmlDesigner* ADesigner, const THtmlElement& AElement, const TToolHost& AHost)
{
    Designer = ADesigner;
    Element = AElement;
    Host = AHost;
    FormShow();
    RememberShownValues();
}

void TTagEditor::FormShow()
{
    ShowFields();
    UpdateColorEdits();
}

void TTagEditor::GetHTML(WideString& S)
{
    S = u'<' + Latin1ToUtf16(NewTag);
    AddFieldsHtml(S);
    S += u'>';
}

void TTagEditor::Apply() { ApplyFields(); }

void TTagEditor::OkClick()
{
    if ((Element && !DialogChanged()) || CheckFields()) accept();
}

THtmlTag* TTagEditor::StoredTag() const { return dynamic_cast<THtmlTag*>(StoredNode(Designer, Element)); }

WideString TTagEditor::GetNodeAttr(THtmlAttrId Id) const
{
    if (THtmlTag* Tag = StoredTag()) return GetStoredAttr(*Tag, Id);
    return Element ? GetAttr(Element, std::string(AttrNameFromId(Id))) : WideString();
}

void TTagEditor::SetNumericEdit(QLineEdit* Edit) { SetKeyFilter(Edit, "-." + Digits); }

void TTagEditor::SetLengthEdit(QLineEdit* Edit) { SetKeyFilter(Edit, "-.%" + Digits); }

void TTagEditor::SetAccessKeyEdit(QLineEdit* Edit)
{
    Edit->setMaxLength(1);
    SetKeyFilter(Edit, "." + Digits + "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}

void TTagEditor::SetupButtons(QDialogButtonBox* Buttons)
{
    Buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TTagEditor::OkClick);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int TTagEditor::RegisterColorEdit(QLineEdit* Edit, QAbstractButton* Button)
{
    const int Index = static_cast<int>(LinkedEdits.size());
    LinkedEdits.push_back({Edit, true});
    connect(Button, &QAbstractButton::clicked, this, [this, Edit, Button] { ColorButtonClick(Edit, Button); });
    connect(Edit, &QLineEdit::textChanged, this, [Edit] { PaintColorEdit(Edit); });
    return Index;
}

void TTagEditor::ColorButtonClick(QLineEdit* Edit, QAbstractButton* Button)
{
    if (!ColorPopup) ColorPopup = new TColorPopupDialog(this);
    ColorPopup->SetColorText(Edit->text());
    ColorPopup->SetColor(Edit->text().isEmpty() ? clWindow : HtmlColorToColor(ToWide(Edit->text())));
    if (!ColorPopup->Execute(Button)) return;
    Edit->setText(ColorPopup->GetColorText());
    PaintColorEdit(Edit);
}

int TTagEditor::RegisterBrowseButton(QLineEdit* Edit, QAbstractButton* Button, int Kind)
{
    const int Index = static_cast<int>(LinkedEdits.size());
    LinkedEdits.push_back({Edit, false});
    connect(Button, &QAbstractButton::clicked, this, [this, Edit, Kind] {
        std::string Url = Edit->text().toStdString();
        if (PickUrl(Kind, FileName(), Url)) Edit->setText(QString::fromStdString(Url));
    });
    return Index;
}

void TTagEditor::UpdateColorEdits()
{
    for (const TLinkedEdit& L : LinkedEdits)
        if (L.Color) PaintColorEdit(L.Edit);
}

bool TTagEditor::FieldError(QWidget* Field, const QString& Message)
{
    QMessageBox::critical(this, windowTitle().trimmed(), Message, QMessageBox::Ok);
    if (!Field) return false;
    // the field's tab page comes to the front, or the field could not take the focus
    for (QWidget* W = Field->parentWidget(); W && W != this; W = W->parentWidget())
        if (auto* Tabs = qobject_cast<QTabWidget*>(W))
            for (int K = 0; K < Tabs->count(); ++K)
                if (Tabs->widget(K)->isAncestorOf(Field)) Tabs->setCurrentIndex(K);
    Field->setFocus();
    return false;
}

void TTagEditor::PlaceBeside(QWidget* View, const QRect& Reference)
{
    // a dialog of the window, for the window system too, which opens it as such
    setParent(View->window(), windowFlags());
    PlaceView = View;
    PlaceReference = Reference;
}

QWidget* TTagEditor::FirstField() const
{
    for (QWidget* W = nextInFocusChain(); W && W != this; W = W->nextInFocusChain())
        if ((W->focusPolicy() & Qt::TabFocus) && !W->focusProxy() && !qobject_cast<QTabBar*>(W) &&
            isAncestorOf(W) && W->isVisibleTo(this) && W->isEnabled())
            return W;
    return nullptr;
}

void TTagEditor::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (Event->spontaneous()) return;
    if (!Placed) {
        Placed = true;
        // the fields are shown by now, and their sizes are their own (a combo box sizes itself
        // to its items once shown)
        adjustSize();
        if (PlaceView) {
            const QRect Bounds(PlaceView->mapToGlobal(QPoint(0, 0)), PlaceView->size());
            move(PlaceEditor(PlaceReference, frameGeometry().size(), Bounds, ScreenAreaOf(PlaceReference)));
        }
    }
    if (!focusWidget())
        if (QWidget* Field = FirstField()) Field->setFocus(Qt::TabFocusReason);
    activateWindow();
}

}  // namespace zv
