# Writes a header defining MACRO as "<version>+<hash>", the hash taken over the
# build's configuration and the contents of every source file under ROOTS
# (folders of SOURCE, separated by '|'). Run at every build, it rewrites the header only when the
# stamp changes, so that what includes it is rebuilt only then.
#   cmake -DOUTPUT=... -DMACRO=... -DVERSION=... -DCONFIG_HASH=... -DSOURCE=... -DROOTS=a|b -P BuildStamp.cmake
string(REPLACE "|" ";" roots "${ROOTS}")
# Each file's path below its root goes in with its contents, so that a file
# moved or renamed changes the stamp too, while the same sources checked out
# elsewhere give the same stamp.
set(digests "${CONFIG_HASH}")
foreach(root ${roots})
  set(folder "${SOURCE}/${root}")
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${folder}" "${folder}/*.h" "${folder}/*.cpp"
       "${folder}/*.map" "${folder}/*.txt" "${folder}/*.cmake")
  list(SORT files)
  foreach(file ${files})
    file(SHA256 "${folder}/${file}" digest)
    string(APPEND digests "\n${root}/${file} ${digest}")
  endforeach()
endforeach()
string(SHA256 hash "${digests}")
string(SUBSTRING "${hash}" 0 16 hash)
set(text "// Made by cmake/BuildStamp.cmake at build time; do not edit.\n#pragma once\n#define ${MACRO} \"${VERSION}+${hash}\"\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE "${OUTPUT}" "${text}")
endif()
