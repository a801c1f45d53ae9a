// Arbitrary bytes as a template file: the header and the page are read or refused, and the
// files are written only inside the target folder, or not at all.

#include <filesystem>

#include "FuzzFiles.h"
#include "TemplateFiles.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    namespace fs = std::filesystem;
    const std::string file = fuzz::InputFile("t.tpl", Data, Size);
    const fs::path site = fuzz::Folder() / "site";
    fs::create_directories(site);

    TTemplateReader reader(file);
    bool readable = true;
    try {
        reader.ReadHeader();
        Require(reader.PageText.size() <= Size && reader.Preview.size() <= Size);
    } catch (const Exception&) {
        readable = false;
    }
    try {
        reader.ExtractTo(site.string(), (site / "index.html").string());
        Require(readable);
    } catch (const Exception&) {
    }
    // nothing lands beside the site or on the open document
    for (const auto& entry : fs::directory_iterator(fuzz::Folder()))
        Require(entry.path().filename() == "t.tpl" || entry.path().filename() == "site");
    Require(!fs::exists(site / "index.html"));
    fs::remove_all(site);
    return 0;
}
