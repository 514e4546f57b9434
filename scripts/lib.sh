# Shared by the build scripts (sourced).

# Configures build folder $1 with the given CMake options unless it is configured already;
# compiles through ccache when it is installed, with hits shared across clones.
configure_build() {
  local build=$1
  shift
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  fi
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja "$@" "${launcher[@]}" >/dev/null
  fi
}

# The optimised build, build/release: the package's, shared by the benchmarks and the start-up
# layout so that none of them compiles the programs again. Builds the given targets (all when none).
build_release() {
  configure_build build/release -DCMAKE_BUILD_TYPE=Release -DKS_BUILD_TESTS=OFF
  if [ $# -gt 0 ]; then
    cmake --build build/release --target "$@"
  else
    cmake --build build/release
  fi
}
