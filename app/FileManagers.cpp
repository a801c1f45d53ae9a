#include "FileManagers.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>

#include <algorithm>
#include <exception>

#include "Folders.h"
#include "HtmlConv.h"
#include "IniFile.h"
#include "Streams.h"

namespace zv {

// --- TFileManagerDialogs -------------------------------------------------------------------

bool TFileManagerDialogs::ExecuteFileDialog(bool Save, const std::string& InitialDir,
                                            std::string& FileName)
{
    QFileDialog dialog(Parent, Save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       QFile::decodeName(InitialDir.c_str()));
    dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.setNameFilters({Save ? QStringLiteral("HTML Files (*.html *.htm)")
                                : QStringLiteral("HTML Files (*.htm *.html)"),
                           QStringLiteral("PHP Files (*.php)"), QStringLiteral("ASP Files (*.asp)"),
                           QStringLiteral("All Files (*)")});
    if (Save && !FileName.empty())
        dialog.selectFile(QFile::decodeName(FileName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return !FileName.empty();
}

bool TFileManagerDialogs::ExecuteOpenDialog(const std::string& InitialDir, std::string& FileName)
{
    return ExecuteFileDialog(false, InitialDir, FileName);
}

bool TFileManagerDialogs::ExecuteSaveDialog(const std::string& InitialDir, std::string& FileName)
{
    return ExecuteFileDialog(true, InitialDir, FileName);
}

TSaveAnswer TFileManagerDialogs::AskSave(const std::string& Text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), QString::fromStdString(Text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return TSaveAnswer::Yes;
    case QMessageBox::No: return TSaveAnswer::No;
    default: return TSaveAnswer::Cancel;
    }
}

void TFileManagerDialogs::ShowError(const std::string& Text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QString::fromStdString(Text),
                    QMessageBox::Ok, Parent);
    box.exec();
}

// --- TFileManager --------------------------------------------------------------------------

void TFileManager::SetModified(bool Value)
{
    if (Value == FModified)
        return;
    FModified = Value;
    if (OnModified)
        OnModified(this);
}

void TFileManager::NotifyChange()
{
    if (OnModified)
        OnModified(this);
    if (OnChangeFile)
        OnChangeFile(this);
}

bool TFileManager::CheckModified()
{
    if (!FModified)
        return true;
    switch (Ui ? Ui->AskSave(SaveFirstText) : TSaveAnswer::Cancel) {
    case TSaveAnswer::Yes: return DoSave();
    case TSaveAnswer::No: return true;
    case TSaveAnswer::Cancel: break;
    }
    return false;
}

bool TFileManager::CanClose()
{
    return CheckModified();
}

void TFileManager::New()
{
    if (!CheckModified())
        return;
    FModified = OnNew ? OnNew(this) : false;
    FFileName.clear();
    NotifyChange();
}

namespace {

// Where a file dialog opens without a page to start from: the last folder used, else the
// user's documents, else home.
std::string StartFolder(const std::string& LastFolder)
{
    if (!LastFolder.empty()) return LastFolder;
    const QString Documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString Folder = !Documents.isEmpty() && QDir(Documents).exists() ? Documents : QDir::homePath();
    return QFile::encodeName(QDir::cleanPath(Folder)).toStdString() + "/";
}

}  // namespace

void TFileManager::Open()
{
    if (!CheckModified() || !Ui)
        return;
    std::string initialDir = ExtractFilePath(OpenDialogName);
    if (initialDir.empty())
        initialDir = StartFolder(LastFolder);
    std::string chosen;
    if (!Ui->ExecuteOpenDialog(initialDir, chosen))
        return;
    OpenDialogName = chosen;
    OpenFile(chosen);
}

const char* TFileManager::Refusal(const std::string& Name)
{
    // nothing but a regular file is opened: a FIFO would wait for a writer
    switch (PathKind(Name)) {
    case TPathKind::RegularFile:
    case TPathKind::Unknown: break;  // opening it tells why not
    case TPathKind::Missing: return NotFoundText;
    case TPathKind::Folder: return FolderText;
    case TPathKind::Pipe: return PipeText;
    case TPathKind::LinkLoop: return LinkLoopText;
    case TPathKind::Other: return NotRegularText;
    }
    return nullptr;
}

void TFileManager::OpenFile(const std::string& Name)
{
    if (const char* Text = Refusal(Name)) {
        ShowError(Text + ("\n" + Name));
        return;
    }
    if (!OnOpen || !CallHandler(OnOpen, Name))
        return;
    TakeName(Name);
}

void TFileManager::TakeName(const std::string& Name)
{
    FFileName = Name;
    FModified = false;
    LastFolder = ExtractFilePath(Name);
    AddToMRU(FFileName);
    NotifyChange();
}

bool TFileManager::RunSaveDialog(std::string& Chosen)
{
    if (!Ui)
        return false;
    // a named page is offered under its own name; a new one in the last folder used
    std::string initialDir = ExtractFilePath(FFileName);
    Chosen = FFileName.substr(initialDir.size());
    if (FFileName.empty())
        initialDir = StartFolder(LastFolder);
    return Ui->ExecuteSaveDialog(initialDir, Chosen);
}

bool TFileManager::Save()
{
    return DoSave();
}

bool TFileManager::DoSave()
{
    // The document takes the chosen name only once it was saved under it.
    std::string name = FFileName;
    if (name.empty() && !RunSaveDialog(name))
        return false;
    if (!OnSave || !CallHandler(OnSave, name))
        return false;
    TakeName(name);
    return true;
}

void TFileManager::SaveAs()
{
    std::string chosen;
    if (!RunSaveDialog(chosen) || !OnSave || !CallHandler(OnSave, chosen))
        return;
    TakeName(chosen);
}

bool TFileManager::CallHandler(const TOnOpenSaveEvent& Handler, const std::string& Name)
{
    try {
        return Handler(this, Name);
    } catch (const ENotAPage& e) {
        ShowError(e.Message() + "\n" + Name);
        return false;
    } catch (const std::exception& e) {
        ShowError(e.what());
        return false;
    }
}

void TFileManager::ShowError(const std::string& Text)
{
    if (Ui)
        Ui->ShowError(Text);
}

// --- Recent files --------------------------------------------------------------------------

void TFileManager::AddToMRU(const std::string& Name)
{
    const QString name = QFile::decodeName(Name.c_str());
    for (size_t i = RecentFiles.size(); i-- > 0;)
        if (QFile::decodeName(RecentFiles[i].c_str()).compare(name, Qt::CaseInsensitive) == 0)
            RecentFiles.erase(RecentFiles.begin() + static_cast<std::ptrdiff_t>(i));
    // Trimmed before the insertion: the list may hold one more than the bound.
    if (MaxMRUCount > 0)
        while (RecentFiles.size() > static_cast<size_t>(MaxMRUCount))
            RecentFiles.pop_back();
    RecentFiles.insert(RecentFiles.begin(), Name);
}

void TFileManager::LoadMRU(const TIniFile& Ini, std::string_view Section)
{
    RecentFiles.clear();
    // A count from a damaged or hand-edited file reads no more names than the menu shows.
    const int limit = MaxMRUCount > 0 ? MaxMRUCount + 1 : MRUMenuLimit;
    const int count = std::min(Ini.ReadInteger(Section, "Count", 0), limit);
    for (int i = 0; i < count; ++i) {
        std::string name = Ini.ReadString(Section, "Item" + std::to_string(i), "");
        if (!name.empty())
            RecentFiles.push_back(std::move(name));
    }
}

void TFileManager::SaveMRU(TIniFile& Ini, std::string_view Section)
{
    if (Ini.SectionExists(Section))
        Ini.EraseSection(Section);
    Ini.WriteInteger(Section, "Count", static_cast<int>(RecentFiles.size()));
    for (size_t i = 0; i < RecentFiles.size(); ++i)
        Ini.WriteString(Section, "Item" + std::to_string(i), RecentFiles[i]);
}

void TFileManager::BuildMRUMenu(QMenu* Parent)
{
    if (!Parent)
        return;
    const QList<QAction*> actions = Parent->actions();
    for (qsizetype i = actions.size(); i-- > 0;) {
        if (actions[i]->property("HelpContext").toInt() == MRUMarker) {
            Parent->removeAction(actions[i]);
            delete actions[i];
        }
    }
    // a long path keeps its ends, the folder it starts in and the file's own name
    Parent->setToolTipsVisible(true);
    const int width = Parent->fontMetrics().averageCharWidth() * MRUCaptionChars;
    for (size_t i = 0; i < RecentFiles.size(); ++i) {
        const QString full = QFile::decodeName(RecentFiles[i].c_str());
        const QString shown = Parent->fontMetrics().elidedText(full, Qt::ElideMiddle, width);
        QString name = shown;
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString caption =
            QString::number(static_cast<qulonglong>(i + 1), 16).toUpper() + QLatin1String(" - ") + name;
        auto* item = new QAction(caption, Parent);
        item->setProperty("HelpContext", MRUMarker);
        if (shown != full)
            item->setToolTip(full);
        item->setData(static_cast<int>(i));
        connect(item, &QAction::triggered, this, [this, item] { MRUItemClick(item); });
        Parent->addAction(item);
    }
}

void TFileManager::MRUItemClick(QAction* Sender)
{
    if (!Sender)
        return;
    // The list may have changed since the menu was built.
    bool ok = false;
    const int index = Sender->data().toInt(&ok);
    if (!ok || index < 0 || static_cast<size_t>(index) >= RecentFiles.size())
        return;
    // The name the user clicked: saving at the prompt reorders the list.
    const std::string name = RecentFiles[static_cast<size_t>(index)];
    if (!CheckModified())
        return;
    if (const char* Text = Refusal(name)) {
        ShowError(Text + ("\n" + name));
        const auto entry = std::find(RecentFiles.begin(), RecentFiles.end(), name);
        if (entry != RecentFiles.end())
            RecentFiles.erase(entry);
        return;
    }
    OpenFile(name);
}

}  // namespace zv
