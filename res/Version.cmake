# The one place the program's version is written down; the version block
# compiled into the programs and the About box text are generated from it.
set(TESSARINE_FILE_VERSION 1.1.0.2)
