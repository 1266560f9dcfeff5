# SZDD codec: size and speed against mscompress, and long fuzzing runs.
#   make bench-szdd            per-file and total figures (payload + corpus)
#   make fuzz-szdd FUZZ_TIME=N fuzz the expander for N seconds (default 600)
.PHONY: bench-szdd fuzz-szdd

SZDD_FUZZ := $(HOST)/tools/szdd/szdd_fuzz
FUZZ_TIME ?= 600

bench-szdd: host
	bench/szdd/bench.sh $(SZDDC) $(B)/bench-szdd $(B)/payload/files

fuzz-szdd: host
	@test -x $(SZDD_FUZZ) || { echo "fuzz-szdd: no fuzz target: clang++ with libFuzzer was not usable when $(HOST) was configured" >&2; exit 1; }
	mkdir -p $(B)/fuzz-szdd/corpus
	$(SZDD_FUZZ) -max_total_time=$(FUZZ_TIME) -artifact_prefix=$(B)/fuzz-szdd/ \
	  $(B)/fuzz-szdd/corpus $(HOST)/tools/szdd/fuzz_seeds
