# Turns res/catalog.txt into a C++ source holding it as one raw string.
file(READ ${IN} text)
set(delim "QCAT")
file(WRITE ${OUT} "// Generated from res/catalog.txt; do not edit.\n"
  "namespace quillon { extern const char* const kCatalogText; "
  "const char* const kCatalogText = R\"${delim}(${text})${delim}\"; }\n")
