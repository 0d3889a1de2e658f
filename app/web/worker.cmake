# Writes SITE/sw.js from TEMPLATE: the service worker's cache is named after
# VERSION and a digest of the FILES it keeps (paths in SITE), so a build that
# changes any of them gets a cache of its own and the old one goes.
# cmake -DSITE=DIR -DVERSION=V -DFILES=a;b -DTEMPLATE=sw.js -P worker.cmake
set(listing "")
set(quoted "'./'")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND listing "${digest}  ${file}\n")
  string(APPEND quoted ", '${file}'")
endforeach()
string(SHA256 digest "${listing}")
string(SUBSTRING ${digest} 0 16 digest)
set(CACHE_NAME "vorel-${VERSION}-${digest}")
set(KEPT_FILES "${quoted}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
