#include "UnitSelectClassID.h"

#include <QMessageBox>
#include <QShowEvent>
#include <algorithm>
#include <fstream>

#include "DataFiles.h"
#include "WideText.h"
#include "ui_UnitSelectClassID.h"

namespace zv {

std::vector<TClassEntry> ReadClassList(std::istream& In)
{
    std::vector<TClassEntry> Entries;
    std::string Line;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Line.empty() || Line[0] == '#') continue;
        const size_t Eq = Line.find('=');
        if (Eq == std::string::npos) continue;
        const QString Id = QString::fromUtf8(Line.data(), static_cast<qsizetype>(Eq)).trimmed();
        const QString Name = QString::fromUtf8(Line.data() + Eq + 1, static_cast<qsizetype>(Line.size() - Eq - 1)).trimmed();
        if (Id.isEmpty()) continue;
        Entries.push_back({Id, Name.isEmpty() ? Id : Name});
    }
    std::stable_sort(Entries.begin(), Entries.end(), [](const TClassEntry& A, const TClassEntry& B) {
        return CompareTextAscii(A.Name.toStdU16String(), B.Name.toStdU16String()) < 0;
    });
    return Entries;
}

TFormSelectClassID::TFormSelectClassID(QWidget* Parent)
    : QDialog(Parent, Qt::Tool), Form(std::make_unique<Ui::FormSelectClassID>())
{
    Form->setupUi(this);
    connect(Form->BtnRefresh, &QPushButton::clicked, this, &TFormSelectClassID::LoadClassList);
    connect(Form->BtnOK, &QPushButton::clicked, this, &TFormSelectClassID::BtnOKClick);
    connect(Form->BtnCancel, &QPushButton::clicked, this, &TFormSelectClassID::BtnCancelClick);
    connect(Form->ListBox1, &QListWidget::itemDoubleClicked, this, &TFormSelectClassID::BtnOKClick);
}

TFormSelectClassID::~TFormSelectClassID() = default;

void TFormSelectClassID::LoadClassList()
{
    ClassIds.clear();
    ClassNames.clear();
    const std::string Path = ListFile.empty() ? FindDataFile("classids.txt") : ListFile;
    std::ifstream In(Path, std::ios::binary);
    if (!Path.empty() && In)
        for (const TClassEntry& E : ReadClassList(In)) {
            ClassIds.append(E.Id);
            ClassNames.append(E.Name);
        }
    Form->ListBox1->clear();
    Form->ListBox1->addItems(ClassNames);
    Loaded = true;
}

int TFormSelectClassID::ChosenRow() const
{
    // the list makes its first row current when it takes the focus, without choosing it
    const QList<QListWidgetItem*> Chosen = Form->ListBox1->selectedItems();
    return Chosen.isEmpty() ? -1 : Form->ListBox1->row(Chosen.front());
}

QString TFormSelectClassID::GetClassID()
{
    if (!Loaded) LoadClassList();
    const int Row = ChosenRow();
    return Row < 0 || Row >= ClassIds.size() ? QString() : "clsid:" + ClassIds[Row];
}

void TFormSelectClassID::SetClassID(const QString& Value)
{
    if (!Loaded) LoadClassList();
    const QString Id = Value.mid(6);
    for (int Row = 0; Row < ClassIds.size(); ++Row)
        if (SameTextAscii(ClassIds[Row].toStdU16String(), Id.toStdU16String())) return Form->ListBox1->setCurrentRow(Row);
    Form->ListBox1->clearSelection();
    Form->ListBox1->setCurrentRow(-1);
}

void TFormSelectClassID::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (Event->spontaneous()) return;
    Selected = false;
    // kept from one showing to the next: the keyboard starts in the list every time
    Form->ListBox1->setFocus(Qt::OtherFocusReason);
}

void TFormSelectClassID::BtnOKClick()
{
    if (ChosenRow() < 0) {
        QMessageBox::critical(this, windowTitle(), tr("Please select an ActiveX object first."), QMessageBox::Ok);
        return;
    }
    Selected = true;
    accept();
}

void TFormSelectClassID::BtnCancelClick()
{
    Selected = false;
    reject();
}

TFormSelectClassID& EnsureFormSelectClassID()
{
    static TFormSelectClassID* Form = new TFormSelectClassID;
    return *Form;
}

}  // namespace zv
