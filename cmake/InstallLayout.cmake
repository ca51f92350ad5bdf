# Where the installed programs lie below the install prefix (/usr in the Debian package): the tools
# in bin/, the engine in a folder of its own with what it loads from beside itself (UnRAR64.dll,
# Setup.ini), and bin/tarvium-setup a link to it. The folder is below libexec/, not lib/: a shared
# object below lib/ makes CPack add ldconfig runs to the package, and this one is no library of
# the system. winmachine finds the installed engine by this layout, relative to its own directory.
set(TARVIUM_INSTALL_BINDIR bin)
set(TARVIUM_INSTALL_ENGINEDIR libexec/tarvium-setup)
file(RELATIVE_PATH TARVIUM_ENGINE_FROM_BINDIR "/${TARVIUM_INSTALL_BINDIR}"
     "/${TARVIUM_INSTALL_ENGINEDIR}/Setup.exe")
