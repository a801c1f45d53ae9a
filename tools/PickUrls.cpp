#include "PickUrls.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "Folders.h"
#include "WideText.h"

namespace zv {

namespace {

const char* const KindFilters[] = {
    "HTML Files (*.html, *.htm)|*.html;*.htm",
    "Picture Files (*.jpg, *.gif, *.png)|*.jpg;*.gif;*.png|JPEG Files (*.jpg)|*.jpg|"
    "GIF Files (*.gif)|*.gif|PNG Files (*.png)|*.png",
    "CSS Files (*.css)|*.css",
    "JavaScript Files (*.js)|*.js",
    "Server Scripts (*.cgi, *.php, *.asp)|*.cgi;*.php;*.asp|CGI Scripts (*.cgi)|*.cgi|"
    "PHP Scripts (*.php)|*.php|ASP Scripts (*.asp)|*.asp",
    "Java Applets (*.cab, *.class, *.jar)|*.cab;*.class;*.jar",
    "Flash Files (*.swf)|*.swf",
    "Real Media Files (*.rm, *.ram)|*.rm;*.ram",
    "Video Files (*.avi, *.wmv, *.mpg)|*.avi;*.wmv;*.mpg",
    "QuickTime Files (*.mov, *.qt)|*.mov;*.qt",
    "Icon Files (*.ico)|*.ico",
    "Map Files (*.map)|*.map",
    "VRML Files (*.wrl, *.wrz)|*.wrl;*.wrz",
    "Script Files (*.js, *.vbs)|*.js;*.vbs",
    "Audio Files (*.mid, *.wav, *.au)|*.mid;*.wav;*.au"};

const char AllFiles[] = "All Files (*.*)|*.*";

std::string ReplaceAll(std::string Text, const std::string& From, const std::string& To)
{
    for (size_t At = Text.find(From); At != std::string::npos; At = Text.find(From, At + To.size()))
        Text.replace(At, From.size(), To);
    return Text;
}

bool StartsWithNoCase(const std::string& Text, const std::string& Prefix)
{
    return Text.size() >= Prefix.size() && AsciiLowerCase(Text.substr(0, Prefix.size())) == Prefix;
}

// The picture dialog's preview: the picture under the cursor, scaled to fit, with its size.
class TPicturePreview : public QLabel {
public:
    explicit TPicturePreview(QWidget* Parent) : QLabel(Parent)
    {
        setFixedSize(180, 180);
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::StyledPanel);
        setWordWrap(true);
    }

    void Show(const QString& FileName)
    {
        QImageReader Reader(FileName);
        const QImage Image = QFileInfo(FileName).isFile() ? Reader.read() : QImage();
        if (Image.isNull()) {
            setPixmap({});
            setText(tr("(None)"));
            return;
        }
        // the picture scaled to fit, its size in pixels under it
        QPixmap Picture = QPixmap::fromImage(Image);
        const QSize Room = size() - QSize(8, 28);
        if (Picture.width() > Room.width() || Picture.height() > Room.height())
            Picture = Picture.scaled(Room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPixmap Shown(size() - QSize(4, 4));
        Shown.fill(palette().color(QPalette::Window));
        QPainter Painter(&Shown);
        Painter.drawPixmap((Shown.width() - Picture.width()) / 2, (Shown.height() - 20 - Picture.height()) / 2, Picture);
        Painter.setPen(palette().color(QPalette::WindowText));
        Painter.drawText(QRect(0, Shown.height() - 20, Shown.width(), 20), Qt::AlignCenter,
                         QString("%1 x %2").arg(Image.width()).arg(Image.height()));
        Painter.end();
        setPixmap(Shown);
    }
};

QFileDialog* MakeDialog(bool Pictures)
{
    auto* Dialog = new QFileDialog(nullptr);
    Dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    Dialog->setAcceptMode(QFileDialog::AcceptOpen);
    if (Pictures) {
        Dialog->setWindowTitle(QFileDialog::tr("Open Picture"));
        auto* Preview = new TPicturePreview(Dialog);
        Preview->setObjectName("Preview");
        Preview->Show({});
        if (auto* Grid = qobject_cast<QGridLayout*>(Dialog->layout()))
            Grid->addWidget(Preview, 1, Grid->columnCount(), Grid->rowCount() - 1, 1, Qt::AlignTop);
        QObject::connect(Dialog, &QFileDialog::currentChanged, Preview,
                         [Preview](const QString& Name) { Preview->Show(Name); });
    } else {
        Dialog->setWindowTitle(QFileDialog::tr("Open"));
    }
    return Dialog;
}

// The two dialogs live until the program ends.
QFileDialog& SharedDialog(bool Pictures)
{
    static QFileDialog* Plain = nullptr;
    static QFileDialog* Picture = nullptr;
    QFileDialog*& Dialog = Pictures ? Picture : Plain;
    if (!Dialog) Dialog = MakeDialog(Pictures);
    return *Dialog;
}

}  // namespace

std::string FilterForKind(int Kind)
{
    if (Kind < 0 || Kind >= static_cast<int>(std::size(KindFilters))) return AllFiles;
    return std::string(KindFilters[Kind]) + "|" + AllFiles;
}

std::string DialogFilter(int Kind)
{
    const QStringList Parts = QString::fromStdString(FilterForKind(Kind)).split('|');
    QStringList Filters;
    for (qsizetype K = 0; K + 1 < Parts.size(); K += 2) {
        QString Name = Parts[K];
        if (const qsizetype Paren = Name.indexOf(" ("); Paren >= 0) Name.truncate(Paren);
        QString Patterns = Parts[K + 1];
        Patterns.replace(';', ' ');
        if (Patterns == "*.*") Patterns = "*";
        Filters << Name + " (" + Patterns + ")";
    }
    return Filters.join(";;").toStdString();
}

std::string CombineUrl(const std::string& Base, const std::string& Relative)
{
    const QString B = QString::fromStdString(Base);
    const QUrl BaseUrl = B.startsWith('/') ? QUrl::fromLocalFile(B) : QUrl(B);
    const QUrl Rel(QString::fromStdString(Relative));
    const QUrl Result = BaseUrl.isEmpty() ? Rel : BaseUrl.resolved(Rel);
    return Result.toString(QUrl::FullyEncoded).toStdString();
}

std::string UrlToFileName(const std::string& Url)
{
    if (!StartsWithNoCase(Url, "file:")) return {};
    std::string Path = Url.substr(5);
    // "file:///x" and "file://localhost/x" name "/x"; the root of the path stays
    if (Path.rfind("//", 0) == 0) {
        const size_t Slash = Path.find('/', 2);
        Path = Slash == std::string::npos ? std::string() : Path.substr(Slash);
    }
    return PercentDecode(Path);
}

std::string MakeRelativeUrl(const std::string& Base, const std::string& FileName)
{
    std::string Rel;
    if (Base.empty()) {
        Rel = "file://" + std::filesystem::absolute(FileName).lexically_normal().string();
    } else {
        const std::filesystem::path Folder =
            std::filesystem::absolute(Base).lexically_normal().parent_path();
        Rel = std::filesystem::absolute(FileName).lexically_normal().lexically_relative(Folder).string();
        if (Rel.empty()) Rel = std::filesystem::absolute(FileName).lexically_normal().string();
    }
    Rel = ReplaceAll(Rel, "%", "%25");
    return ReplaceAll(Rel, " ", "%20");
}

QFileDialog& PrepareUrlDialog(int Kind, const std::string& BaseUrl, const std::string& Url)
{
    std::string Name = UrlToFileName(CombineUrl(BaseUrl, Url));
    std::string Folder;
    if (!Name.empty()) {
        Folder = ExtractFilePath(Name);
        // a file the first filter hides is not offered as the answer
        const QStringList Patterns = QString::fromStdString(FilterForKind(Kind)).section('|', 1, 1).split(';');
        if (std::filesystem::is_directory(Name) || !QDir::match(Patterns, QFileInfo(QString::fromStdString(Name)).fileName()))
            Name.clear();
    } else {
        Folder = ExtractFilePath(BaseUrl);
    }
    QFileDialog& Dialog = SharedDialog(Kind == ukPicture);
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setNameFilters(QString::fromStdString(DialogFilter(Kind)).split(";;"));
    Dialog.setDirectory(QString::fromStdString(Folder.empty() ? QDir::currentPath().toStdString() : Folder));
    if (!Name.empty()) {
        Dialog.selectFile(QFileInfo(QString::fromStdString(Name)).fileName());
    } else {
        // nor is the file picked last time
        for (QAbstractItemView* View : Dialog.findChildren<QAbstractItemView*>()) View->clearSelection();
        if (auto* Edit = Dialog.findChild<QLineEdit*>("fileNameEdit")) Edit->clear();
    }
    if (auto* Preview = dynamic_cast<TPicturePreview*>(Dialog.findChild<QLabel*>("Preview")))
        Preview->Show(QString::fromStdString(Name));
    return Dialog;
}

bool PickUrl(int Kind, const std::string& BaseUrl, std::string& Url)
{
    QFileDialog& Dialog = PrepareUrlDialog(Kind, BaseUrl, Url);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return false;
    Url = MakeRelativeUrl(BaseUrl, Dialog.selectedFiles().front().toStdString());
    return true;
}

}  // namespace zv
