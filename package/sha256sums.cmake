# Writes OUT with one line "<SHA-256 in hex>  <file name>" (CR LF) for each file of the list
# FILES, as sha256sum writes them and `sha256sum -c` checks them:
#   cmake -DOUT=… "-DFILES=a.exe;b.exe" -P this
set(lines "")
foreach(file IN LISTS FILES)
  file(SHA256 "${file}" hash)
  get_filename_component(name "${file}" NAME)
  string(APPEND lines "${hash}  ${name}\r\n")
endforeach()
file(WRITE "${OUT}" "${lines}")
