# Makes one self-contained page: the template with the module's script (the WebAssembly inside) and the page's
# script put in. cmake -DTEMPLATE=... -DMODULE_SCRIPT=... -DPAGE_SCRIPT=... -DMODULE=... -DOUT=... -P make_page.cmake
cmake_policy(VERSION 3.25)
file(READ ${TEMPLATE} page)
file(READ ${MODULE_SCRIPT} module_script)
file(READ ${PAGE_SCRIPT} page_script)
# Neither script may end the <script> element it stands in.
string(REPLACE "</script" "<\\/script" module_script "${module_script}")
string(REPLACE "</script" "<\\/script" page_script "${page_script}")
string(REPLACE "@MODULE@" "${MODULE}" page "${page}")
string(REPLACE "@MODULE_SCRIPT@" "${module_script}" page "${page}")
string(REPLACE "@PAGE_SCRIPT@" "${page_script}" page "${page}")
file(WRITE ${OUT} "${page}")
