# Quillmark setup: build, run under Wine, test, measure.
#   make        build build/setup.exe (and the host tools it needs)
#   make PAYLOAD=DIR
#               build build/release/setup.exe from the application's files in DIR
#   make run    build it and start it under Wine in a scratch prefix; without
#               a display, a tour of one install in screenshots (build/screenshots)
#   make test   every test: host unit tests, Windows-side tests, end-to-end scenarios
#   make bench  speed and size figures
SHELL := /bin/bash
.DEFAULT_GOAL := all
# A build from the application team's files (PAYLOAD=DIR) has a folder of its own.
B := $(if $(PAYLOAD),build/release,build)
# Headers and resource lines made from the project's lists (resources/resources.mk).
GEN := $(B)/gen

# --- toolchains -------------------------------------------------------------
CC32   := i686-w64-mingw32-g++
RC32   := i686-w64-mingw32-windres
OBJCOPY32 := i686-w64-mingw32-objcopy
CC64   := x86_64-w64-mingw32-g++
RC64   := x86_64-w64-mingw32-windres

# Programs that ship (setup.exe, Quillmark.exe, qmkuins1.exe): i686, no C
# runtime, as small as the compiler makes them: -Oz over all of a program's
# files at once (-flto), equal constants merged, arguments pushed rather than
# stored, the stack kept at the 4-byte alignment Windows gives a 32-bit
# thread rather than realigned to 16 in every function that has locals (the
# programs use no SSE, which is what would want it), data aligned only as the
# ABI asks (not arrays to 32 bytes for vector loads they never get), and the
# choices among equal instructions made for the shortest: tuned for the
# Pentium, calls not turned into jumps (each such jump repeats the caller's
# epilogue).  The functions lie end to end in one code section: in sections
# of their own each would start at a 4-byte boundary, and -flto leaves out
# what nothing calls anyway.  Pushing comes with leaving out stack probes, so
# every frame must stay within the 4 KB guard page, which
# -Wframe-larger-than holds it to.
SHIP_CXXFLAGS := -std=c++17 -Oz -flto -Wall -Wextra -Werror -Wframe-larger-than=4000 \
  -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-stack-protector \
  -fno-threadsafe-statics -fno-builtin -fno-ident -fmerge-all-constants \
  -fomit-frame-pointer -mpreferred-stack-boundary=2 -malign-data=abi -mtune=pentium \
  -fno-optimize-sibling-calls \
  -mno-stack-arg-probe -I. -I$(GEN)
# Loaded wherever the system puts it (ASLR: relocations, DYNAMICBASE), its
# data never run (NX_COMPAT).  Laid out by tools/ship.ld.
SHIP_LDFLAGS := -nostdlib -nostartfiles -mwindows -Wl,--gc-sections \
  -Wl,--no-insert-timestamp -Wl,--dynamicbase,--enable-reloc-section,--nxcompat \
  -Wl,--major-subsystem-version,4,--minor-subsystem-version,0 \
  -Wl,--major-os-version,4,--minor-os-version,0 -Wl,-e,_EntryPoint -Wl,-T,tools/ship.ld
# Links the shipped program $@ from the objects $(1) and the libraries $(2),
# marks its one section executable (tools/ship.ld; objcopy stamps no time
# when SOURCE_DATE_EPOCH is 0), names its relocations in the headers and
# leaves out its symbols, which only found them, leaves out the DOS program,
# stores its code and data packed when $(4) is given (it then starts in the
# unpacker, below), and signs it as $(3) when that is given and the build
# signs (SIGN_CERT, below).
ship_link = $(CC32) $(SHIP_CXXFLAGS) -o $@.part $(1) $(SHIP_LDFLAGS) $(if $(4),$(UNPACK_ENTRY)) $(2) && \
  SOURCE_DATE_EPOCH=0 $(OBJCOPY32) --set-section-flags .idata=alloc,load,code,data,contents $@.part && \
  python3 -B tools/place_relocations.py $@.part && \
  python3 -B tools/drop_dos_stub.py $@.part && \
  $(if $(4),python3 -B tools/pack_code.py $@.part &&) \
  $(if $(and $(3),$(SIGN_CERT)),$(call sign_program,$@.part,$(3)) &&) mv $@.part $@

# What expands a packed program's code and data at start-up, and is where it
# starts.  Compiled by itself, not with the rest of the program (-flto), so
# that none of the rest is put into it, nor it into the rest, which is not
# there yet when it runs.
UNPACKER := $(B)/setup-obj/unpack.o
UNPACK_ENTRY := -Wl,-e,_Unpack
$(UNPACKER): setup/unpack/unpack.cpp Makefile
	@mkdir -p $(@D)
	$(CC32) $(SHIP_CXXFLAGS) -fno-lto -c $< -o $@

# Signing: with SIGN_CERT=cert.pem and SIGN_KEY=key.pem, qmkuins1.exe (before
# setup.exe carries it) and setup.exe get an Authenticode signature
# (SHA-256), timestamped by the server at SIGN_TIMESTAMP=URL when given.
# Without them nothing is signed.  The signature follows the last section:
# the bytes setup.exe checks at start-up are not touched.
SIGNING := $(B)/signing
sign_program = osslsigncode sign -certs "$(SIGN_CERT)" -key "$(SIGN_KEY)" -h sha256 \
  -n "$(2)" $(if $(SIGN_TIMESTAMP),-ts "$(SIGN_TIMESTAMP)") -in $(1) -out $(1).signed >/dev/null && \
  chmod --reference=$(1) $(1).signed && mv $(1).signed $(1)
$(if $(SIGN_CERT),$(if $(SIGN_KEY),,$(error SIGN_CERT needs SIGN_KEY)))

# Changes when the signing does (which files, or their contents), so that the
# signed programs are made again.
$(SIGNING): FORCE
	@mkdir -p $(@D)
	@{ echo "$(SIGN_CERT) $(SIGN_KEY) $(SIGN_TIMESTAMP)"; \
	   $(if $(SIGN_CERT),cat "$(SIGN_CERT)" "$(SIGN_KEY)";) } | sha1sum > $@.new
	@cmp -s $@.new $@ && rm $@.new || mv $@.new $@
# Windows programs that only test (drivers, Windows-side tests): C runtime, static.
TEST_CXXFLAGS := -std=c++17 -O1 -Wall -Wextra -Werror -I. -I$(GEN) -static

# --- host side (codec, compressor, unit tests) ------------------------------
HOST := $(B)/host
SZDDC := $(HOST)/tools/szdd/szddc

.PHONY: all deps run test bench clean host
deps:
	@tools/deps.sh

$(HOST)/CMakeCache.txt: CMakeLists.txt
	cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Release >/dev/null

host: $(HOST)/CMakeCache.txt
	cmake --build $(HOST) -j2

$(SZDDC): host ;

-include tools/szdd/szdd.mk
-include resources/resources.mk
-include apps/apps.mk
-include setup/setup.mk
-include tests/win/win.mk
-include tests/win/uninstaller/uninstaller.mk
-include tests/tests.mk
-include bench/install/bench.mk

# setup.exe is packed (setup/setup.mk).
$(B)/setup.exe: $(UNPACKER) tools/pack_code.py tools/lz_bits.py

# The installer and everything the tests need besides the host side.  From
# the application team's files, the installer and its uninstaller.
PRODUCT := $(B)/setup.exe $(B)/apps/qmkuins1.exe $(if $(PAYLOAD),,$(B)/apps/Quillmark.exe)
TEST_PROGRAMS = $(FIXTURES) $(WIN_TEST) $(UNINSTALLER_DRIVER) $(UNINSTALLER_STOPPING) $(E2E_PROGRAMS)

all:
	@tools/deps.sh
	@$(MAKE) --no-print-directory $(PRODUCT)
	@$(if $(PAYLOAD),echo "$(B)/setup.exe: built from $(PAYLOAD)")

# Without a display the tour needs the end-to-end driver too.
run: all
	@[ -n "$$DISPLAY" ] || $(MAKE) --no-print-directory $(E2E_DRIVER)
	tests/harness/run-setup.sh

# Host tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows-side tests and the end-to-end scenarios under Wine, all through ctest.
test:
	@tools/deps.sh
	@$(MAKE) --no-print-directory $(PRODUCT) $(TEST_PROGRAMS)
	cmake -S . -B $(B)/host-asan -DSANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(B)/host-asan -j2
	cd $(B)/host-asan && ctest -j2 --output-on-failure --timeout 900

# Speed and size: the compressor against mscompress, where setup.exe's bytes go,
# how long the check of the carried files and an install take under Wine.
bench: all
	@$(MAKE) --no-print-directory bench-szdd
	@python3 tools/size-report.py $(B)/setup.exe
	@$(MAKE) --no-print-directory bench-integrity
	@$(MAKE) --no-print-directory bench-install

clean:
	rm -rf $(B)
