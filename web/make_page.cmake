# Makes one self-contained page: the template with the chart library's style, the module's script (the
# WebAssembly inside) and the page's bundled script put in.
# cmake -DTEMPLATE=... -DLIBRARY_STYLE=... -DMODULE_SCRIPT=... -DPAGE_SCRIPT=... -DMODULE=... -DOUT=... -P make_page.cmake
cmake_policy(VERSION 3.25)
file(READ ${TEMPLATE} page)
file(READ ${LIBRARY_STYLE} library_style)
file(READ ${MODULE_SCRIPT} module_script)
file(READ ${PAGE_SCRIPT} page_script)
# No script may end the <script> element it stands in, no style its <style>.
string(REPLACE "</script" "<\\/script" module_script "${module_script}")
string(REPLACE "</script" "<\\/script" page_script "${page_script}")
string(REPLACE "</style" "<\\/style" library_style "${library_style}")
string(REPLACE "@MODULE@" "${MODULE}" page "${page}")
string(REPLACE "@LIBRARY_STYLE@" "${library_style}" page "${page}")
string(REPLACE "@MODULE_SCRIPT@" "${module_script}" page "${page}")
string(REPLACE "@PAGE_SCRIPT@" "${page_script}" page "${page}")
file(WRITE ${OUT} "${page}")
