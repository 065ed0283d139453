# The Debian package: scripts/package.sh builds it, the install_package test checks it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrowynd)
set(CPACK_PACKAGE_VENDOR Ostrivane)
set(CPACK_PACKAGE_CONTACT "Ostrivane <support@ostrivane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "household retirement-savings estimate computed by LibreOffice Calc")
# Debian shows the description as it is: lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
Ferrowynd takes a household's monthly incomes and expenses, account balances,
dates of birth, expected returns, inflation, retirement ages and retirement
income, fills its built-in estimate template with them and has LibreOffice
Calc compute it.

It shows a zoomable picture of the computed sheet, saves the workbook as an
Excel 97-2003 file and exports the estimate as PDF or prints it.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ostrivane.example/)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The linked libraries (Qt, the UNO libraries, CUPS) are found by dpkg-shlibdeps. The office
# process is started as a program, and the UNO bridge, its type library and the bootstrap file
# are loaded at run time, as is Qt's SVG plugin that draws the icon: no linking reveals them.
# Arial is Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-calc-nogui | libreoffice-calc, ure, libreoffice-common, libqt6svg6, fonts-liberation")

include(CPack)
