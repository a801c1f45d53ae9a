# Joins the page layer's parts, in the order given, into the one script every design page
# loads: one closure, so the parts share their private names and nothing leaks into the page.
#   cmake -DOUT=layer.js -DPARTS="a.js;b.js" -P JoinLayer.cmake
set(text [=[// Page side of the engine layer. Runs in the application world of every design page: the
// page's own scripts never run. C++ reaches it through zvLayer.call(); it reports page events
// through the web channel object "zvBridge". Joined at build time from resources/engine/layer/.
(function () {
'use strict';
if (window.zvLayer) return;
]=])
foreach(part IN LISTS PARTS)
  file(READ ${part} body)
  get_filename_component(name ${part} NAME)
  string(APPEND text "\n// ================================================================ ${name}\n${body}")
endforeach()
string(APPEND text "})();\n")
file(WRITE ${OUT}.new "${text}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
