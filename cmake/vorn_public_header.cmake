# Copies the headers of folder FROM into TO, adding "vorn/" before every include of a tier
# (TIERS, separated by commas): "broker/rpc_broker.h" becomes "vorn/broker/rpc_broker.h".
#   cmake -DFROM=dir -DTO=dir -DTIERS=common,broker,... -P vorn_public_header.cmake
string(REPLACE "," "|" tiers "${TIERS}")
file(GLOB headers ${FROM}/*.h)
file(MAKE_DIRECTORY ${TO})
foreach(header IN LISTS headers)
  get_filename_component(name ${header} NAME)
  file(READ ${header} text)
  string(REGEX REPLACE "(#[ \t]*include[ \t]*[\"<])(${tiers})/" "\\1vorn/\\2/" text "${text}")
  file(WRITE ${TO}/${name} "${text}")
endforeach()
