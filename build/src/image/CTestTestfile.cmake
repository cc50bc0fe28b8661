# CMake generated Testfile for 
# Source directory: /work/main/src/image
# Build directory: /work/main/build/src/image
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
