// Builds a template file from a source folder:
//   page.html     the template page, with "{CONTENT}" where the chosen content goes
//   description   a few plain-text paragraphs, shown in the preview in place of the content
//   files/        the files the page uses, stored under their paths below files/
// The preview is the page drawn with the description as content, scaled to the chooser's
// picture size and saved as JPEG.
//
//   make_template "data/template-src/Two Columns" "data/Templates/Two Columns.tpl"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

#include "Streams.h"
#include "JpegImages.h"
#include "TemplateFiles.h"

namespace fs = std::filesystem;

namespace {

// The page is laid out this wide and drawn at the chooser's aspect ratio.
constexpr int PageWidth = 800;
constexpr int PageHeight = PageWidth * 112 / 150;

std::string ReadFile(const fs::path& Path)
{
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + Path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A text document that takes linked style sheets from the template's files.
class TPageDocument : public QTextDocument {
public:
    explicit TPageDocument(fs::path Files) : Files(std::move(Files)) {}

protected:
    QVariant loadResource(int Type, const QUrl& Name) override
    {
        const fs::path path = Files / Name.path().toStdString();
        if (fs::is_regular_file(path))
            return QByteArray::fromStdString(ReadFile(path));
        return QTextDocument::loadResource(Type, Name);
    }

private:
    fs::path Files;
};

QString HtmlEscaped(const std::string& Text)
{
    return QString::fromStdString(Text).toHtmlEscaped();
}

// The description's paragraphs under the template's name.
std::string PreviewContent(const std::string& Name, const std::string& Description)
{
    QString html = "<h1>" + HtmlEscaped(Name) + "</h1>\n";
    for (const QString& paragraph : QString::fromStdString(Description).split("\n\n", Qt::SkipEmptyParts))
        html += "<p>" + paragraph.simplified().toHtmlEscaped() + "</p>\n";
    return html.toStdString();
}

QByteArray RenderPreview(const std::string& Page, const fs::path& Files)
{
    TPageDocument document(Files);
    document.setHtml(QString::fromStdString(Page));
    document.setTextWidth(PageWidth);
    QImage page(PageWidth, PageHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        document.drawContents(&painter, QRectF(0, 0, PageWidth, PageHeight));
    }
    const QImage small = page.scaled(zv::TemplatePreviewWidth, zv::TemplatePreviewHeight, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!small.save(&buffer, "JPG", 90))
        throw std::runtime_error("cannot encode the preview as JPEG");
    return jpeg;
}

void WriteInteger(std::string& Out, int32_t Value)
{
    const auto v = static_cast<uint32_t>(Value);
    for (int shift = 0; shift < 32; shift += 8)
        Out += static_cast<char>((v >> shift) & 0xFF);
}

void WriteString(std::string& Out, const std::string& Text)
{
    WriteInteger(Out, static_cast<int32_t>(Text.size()));
    Out += Text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: make_template SOURCE-FOLDER OUTPUT.tpl\n";
        return 2;
    }
    try {
        const fs::path source = argv[1];
        const fs::path files = source / "files";
        const std::string page = ReadFile(source / "page.html");
        if (page.find("{CONTENT}") == std::string::npos)
            throw std::runtime_error("page.html has no {CONTENT} mark");
        const std::string name = fs::path(argv[2]).stem().string();
        std::string preview = page;
        preview.replace(preview.find("{CONTENT}"), 9, PreviewContent(name, ReadFile(source / "description")));
        const QByteArray jpeg = RenderPreview(preview, files);

        std::string out;
        WriteString(out, "Zandovell Template");
        WriteString(out, jpeg.toStdString());
        WriteString(out, page);
        std::vector<fs::path> paths;
        if (fs::is_directory(files))
            for (const auto& entry : fs::recursive_directory_iterator(files))
                if (entry.is_regular_file())
                    paths.push_back(entry.path());
        std::sort(paths.begin(), paths.end());
        for (const fs::path& path : paths) {
            std::string stored;
            for (const fs::path& part : path.lexically_relative(files))
                stored += (stored.empty() ? "" : "\\") + part.string();
            WriteInteger(out, 1);
            WriteString(out, stored);
            WriteString(out, ReadFile(path));
        }
        WriteInteger(out, 0);
        zv::SaveFileAtomically(argv[2], out.data(), static_cast<int64_t>(out.size()));

        // Read it back the way the editor does.
        zv::TTemplateReader reader(argv[2]);
        reader.ReadHeader();
        if (reader.PageText != page || zv::TJpegImage(reader.Preview).ToImage().isNull())
            throw std::runtime_error("the template does not read back");
        std::cout << argv[2] << ": " << paths.size() << " files, " << out.size() << " bytes\n";
    } catch (const std::exception& error) {
        std::cerr << "make_template: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
