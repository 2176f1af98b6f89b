# The version of project() in CMakeLists.txt is the only one written down:
# the about box, the version resources and the manifest take it from
# resources/Version.h and Tallyvane.manifest, generated here into
# <build>/resources; scripts/package.sh reads it from the cache.
if(NOT WIN32)
  return()
endif()

# "1.04" is 1,4,0,0 in the numbers of the version resource.
math(EXPR TALLYVANE_VERSION_MAJOR "${PROJECT_VERSION_MAJOR} + 0")
math(EXPR TALLYVANE_VERSION_MINOR "${PROJECT_VERSION_MINOR} + 0")
configure_file(${PROJECT_SOURCE_DIR}/resources/Version.h.in ${PROJECT_BINARY_DIR}/resources/Version.h @ONLY)
set(TALLYVANE_ACTIVE_CODE_PAGE
  "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>")
configure_file(${PROJECT_SOURCE_DIR}/resources/Tallyvane.manifest.in ${PROJECT_BINARY_DIR}/resources/Tallyvane.manifest @ONLY)
# The same without the UTF-8 code page: what a Windows older than 10 1903
# makes of the program, for the tests of how it refuses what it can't hold.
set(TALLYVANE_ACTIVE_CODE_PAGE "<!-- no activeCodePage -->")
configure_file(${PROJECT_SOURCE_DIR}/resources/Tallyvane.manifest.in ${PROJECT_BINARY_DIR}/resources/TallyvaneAnsi.manifest @ONLY)

# tv_add_version_info(target rcFile): the executable's version information
# and manifest; rcFile defines its description and file name, then includes
# resources/VersionInfo.rc. Only the shipped executables carry them.
function(tv_add_version_info target rcFile)
  target_sources(${target} PRIVATE ${rcFile})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources ${PROJECT_BINARY_DIR}/resources)
  set_source_files_properties(${rcFile} PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/resources/VersionInfo.rc;${PROJECT_BINARY_DIR}/resources/Version.h;${PROJECT_BINARY_DIR}/resources/Tallyvane.manifest;${PROJECT_BINARY_DIR}/resources/TallyvaneAnsi.manifest")
endfunction()
