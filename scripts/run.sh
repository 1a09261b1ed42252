#!/bin/sh
# The run command: installs what is needed, builds the shippable folder (the 32-bit program
# beside its driver package) and says where it is.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset i686
cmake --build --preset i686
echo "The shippable folder is $(pwd)/build/i686/dist"
