#pragma once
// Picking a file for a URL field: a file dialog filtered to the kind of file the field wants,
// opened where the field's URL points, and the chosen file made relative to the document.
// Paths and URLs are UTF-8.

#include <string>

class QFileDialog;

namespace zv {

// The file kinds of the browse buttons.
enum TUrlKind {
    ukHtml = 0, ukPicture = 1, ukCss = 2, ukJavaScript = 3, ukServerScript = 4, ukApplet = 5,
    ukFlash = 6, ukRealMedia = 7, ukVideo = 8, ukQuickTime = 9, ukIcon = 10, ukMap = 11,
    ukVrml = 12, ukScript = 13, ukAudio = 14
};

// The open-dialog filter of a kind: "Name|patterns|..." pairs ending in the all-files pair.
std::string FilterForKind(int Kind);
// The same as the file dialog takes it: "Name (*.a *.b);;...".
std::string DialogFilter(int Kind);

// Shows the file dialog for Kind; when a file is chosen, Url becomes its URL relative to the
// document BaseUrl (a local path) and the answer is true. Cancel leaves Url as it was.
bool PickUrl(int Kind, const std::string& BaseUrl, std::string& Url);
// The dialog PickUrl would show for Kind, set up for BaseUrl and Url (a kept dialog shared by
// all callers: the picture dialog, with its preview, for pictures).
QFileDialog& PrepareUrlDialog(int Kind, const std::string& BaseUrl, const std::string& Url);

// Relative resolved against Base, a URL or a local path (which stands for its file: URL).
std::string CombineUrl(const std::string& Base, const std::string& Relative);
// The local path of a "file:" URL, percent-decoded; '' for any other URL.
std::string UrlToFileName(const std::string& Url);
// FileName as a URL relative to the folder of the document Base; without a document name
// an absolute "file://" URL. "%" becomes "%25", then blanks "%20".
std::string MakeRelativeUrl(const std::string& Base, const std::string& FileName);

}  // namespace zv
