# Writes the text file IN to OUT with CR LF line ends, with a UTF-8 byte order mark when BOM is
# ON, whatever line ends the checkout gave IN:  cmake -DIN=… -DOUT=… -DBOM=ON|OFF -P this
file(READ "${IN}" text)
string(ASCII 239 187 191 bom)
string(REGEX REPLACE "^${bom}" "" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
if(BOM)
  set(text "${bom}${text}")
endif()
file(WRITE "${OUT}" "${text}")
