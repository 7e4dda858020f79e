# The tier table: for each folder, the folders its files may include from. The test
# vorn_tiers scans the sources against it (cmake/check_tiers.cmake); the README's "Layout"
# table says the same.
set(VORN_TIER_FOLDERS common broker toolkit signon source lookup controls output demo devserver
  designer)
set(VORN_TIER_common common)
set(VORN_TIER_broker common broker)
set(VORN_TIER_toolkit toolkit)
set(VORN_TIER_signon common broker toolkit signon)
set(VORN_TIER_source common broker toolkit source)
set(VORN_TIER_lookup common broker toolkit source lookup)
set(VORN_TIER_controls common broker toolkit source lookup controls)
set(VORN_TIER_output common broker toolkit source lookup controls output)
set(VORN_TIER_demo common broker toolkit signon source lookup controls output demo)
set(VORN_TIER_devserver common devserver)
set(VORN_TIER_designer common broker toolkit source lookup controls output designer)

# The folders whose headers are installed, in the order of the tiers.
set(VORN_PUBLIC_FOLDERS common broker toolkit signon source lookup controls output)

# The folders of devserver/, from the bottom up, and the ones each may include from. net/ and
# procedures/ share the session and the procedure registry.
set(VORN_DEVSERVER_FOLDERS m storage files procedures net)
set(VORN_DEVSERVER_m m)
set(VORN_DEVSERVER_storage m storage)
set(VORN_DEVSERVER_files m storage files)
set(VORN_DEVSERVER_procedures m storage files procedures net)
set(VORN_DEVSERVER_net m storage files procedures net)
