# Sourced by the Wine benchmarks with $preset set: builds the preset and makes the
# benchmarks' own Wine prefix, set up as the Wine tests' prefix is.
# Defines: build (the build tree), prefix, windows_path (a path as Wine's drive Z: names it).
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null
build=$(pwd)/build/$preset
prefix=$build/bench/prefix
if [ ! -f "$prefix/system.reg" ]; then
  tests/wine/run-in-wine.sh init "$prefix"
fi
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
