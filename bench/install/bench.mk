# The timing of an install (make bench-install, bench/install/bench.sh):
# setup.exe built with its moments noted (setup/bench_marks.h), the floor of
# the same job, a program that does nothing, a timer of whole processes, and
# a peer installer of the same files.  Included by the top-level Makefile.
BENCH := $(B)/bench
BENCH_SETUP := $(BENCH)/setup.exe
BENCH_OBJECTS := $(patsubst %.cpp,$(B)/bench-obj/%.o,$(SETUP_SOURCES) bench/install/marks.cpp)
BENCH_PROGRAMS := $(BENCH_SETUP) $(BENCH)/floor.exe $(BENCH)/empty.exe $(BENCH)/timed_run.exe $(BENCH)/nsis-zlib.exe \
  $(BENCH)/nsis-zlib-no-launch.exe

$(B)/bench-obj/%.o: %.cpp $(wildcard */*.h) $(CARRIED_HEADER) $(INSTALLED_SUMS) $(STORED_SUMS) Makefile
	@mkdir -p $(dir $@)
	$(CC32) $(SHIP_CXXFLAGS) -DQM_BENCH -c $< -o $@

$(BENCH_SETUP): $(BENCH_OBJECTS) $(B)/setup-obj/setup.res tools/ship.ld
	@mkdir -p $(@D)
	$(call ship_link,$(filter %.o %.res,$^),$(SETUP_LIBS))

$(BENCH)/floor.exe: bench/install/floor.cpp
	@mkdir -p $(@D)
	$(CC32) $(TEST_CXXFLAGS) -O2 -o $@ $< -lshell32

$(BENCH)/empty.exe: bench/install/empty.cpp
	@mkdir -p $(@D)
	$(CC32) $(SHIP_CXXFLAGS) -o $@ $< -nostdlib -nostartfiles -mwindows -s -Wl,-e,_EntryPoint -lkernel32

$(BENCH)/timed_run.exe: bench/install/timed_run.cpp
	@mkdir -p $(@D)
	$(CC64) $(TEST_CXXFLAGS) -O2 -o $@ $<

# The peer installer, and the same without the start of the program.
$(BENCH)/nsis-zlib.exe $(BENCH)/nsis-zlib-no-launch.exe: bench/install/quillmark.nsi $(PAYLOAD_FILES)
	@mkdir -p $(@D)
	makensis -V2 -DPAYLOAD=$(abspath $(PAYLOAD_FILES_DIR)) -DOUTFILE=$(abspath $@) \
	  $(if $(findstring no-launch,$@),-DNO_LAUNCH) $<

.PHONY: bench-install
bench-install: $(BENCH_PROGRAMS) $(E2E_DRIVER)
	bench/install/bench.sh
