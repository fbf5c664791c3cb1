# The ZIPs of a Windows build, made by `cpack` in the build tree:
#
#   kestrelon-<version>-win64.zip (or -win32): kestrelon.exe,
#     kestrelon-passwd.exe, README.md and the example profiles and listings in
#     examples/ExeXml/. This is what goes onto a PRTG probe, beside SAP's own
#     librfc32.dll.
#   kestrelon-<version>-win64-simulation.zip: the stand-in librfc32.dll with
#     the example landscape rfcsim.landscape, for trying the program without
#     SAP. Kept apart so that nobody deploys the stand-in by mistake.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(kestrelon_windows_arch win64)
else()
  set(kestrelon_windows_arch win32)
endif()

set(kestrelon_example_exexml
    "${PROJECT_SOURCE_DIR}/examples/drive/C/Program Files/PRTG Network Monitor/Custom Sensors/ExeXml")

install(TARGETS kestrelon kestrelon-passwd RUNTIME DESTINATION . COMPONENT sensor)
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION . COMPONENT sensor)
install(DIRECTORY "${kestrelon_example_exexml}/" DESTINATION examples/ExeXml
        COMPONENT sensor FILES_MATCHING PATTERN "*.P00" PATTERN "SAP Quadrant.Gbl"
        PATTERN "Quadrant.Prf")

# The DLL only; its import library is of no use to anyone.
install(TARGETS rfccm RUNTIME DESTINATION . COMPONENT simulation
        ARCHIVE DESTINATION lib COMPONENT import-library EXCLUDE_FROM_ALL)
install(FILES "${PROJECT_SOURCE_DIR}/examples/drive/C/probe/rfcsim.landscape"
        DESTINATION . COMPONENT simulation)
install(FILES "${PROJECT_SOURCE_DIR}/rfcsim/README.md" DESTINATION .
        RENAME README-rfcsim.md COMPONENT simulation)

set(CPACK_PACKAGE_NAME kestrelon)
set(CPACK_PACKAGE_VENDOR Kestrelon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "PRTG EXE/XML custom sensor measuring SAP DB4 databases")
set(CPACK_GENERATOR ZIP)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL sensor simulation)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME "kestrelon-${PROJECT_VERSION}-${kestrelon_windows_arch}")
set(CPACK_ARCHIVE_SENSOR_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}")
set(CPACK_ARCHIVE_SIMULATION_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-simulation")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
include(CPack)
