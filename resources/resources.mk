# The files setup.exe carries, and icon 103.
#
#   $(B)/payload/files/<name>   every file the installer writes, as it must
#                               come out on disk: the 28 rows of
#                               payload/manifest_table.h, Quillmark.exe and
#                               qmkuins1.exe
#   $(B)/payload/rc/<id>.bin    the bytes of "FILE" entry <id>: the SZDD image
#                               of the file for Expand entries, the file itself
#                               for Raw ones
#   $(ICON)                     icon 103, two 16-colour images
#
# PAYLOAD_BINS lists every <id>.bin, PAYLOAD_FILES every expected file.
#   make payload-bins           all of them

ICON := $(B)/res/quillmark.ico
PAYLOAD_FILES_DIR := $(B)/payload/files
PAYLOAD_RC_DIR := $(B)/payload/rc

$(ICON): resources/icon/make_icon.py
	@mkdir -p $(@D)
	python3 -B $< $@

# id:name:method of each manifest row, read from the table itself.
PAYLOAD_MANIFEST := $(shell sed -n \
  's/^ *{ *\([0-9][0-9]*\), *"\([^"]*\)", *\(Expand\|Raw\), *\(true\|false\) *}.*/\1:\2:\3/p' \
  payload/manifest_table.h)
$(if $(filter 28,$(words $(PAYLOAD_MANIFEST))),,\
  $(error payload/manifest_table.h: expected 28 rows, read $(words $(PAYLOAD_MANIFEST))))

# The main program and the uninstaller travel outside the table.
PAYLOAD_ENTRIES := $(PAYLOAD_MANIFEST) 106:Quillmark.exe:Expand 119:qmkuins1.exe:Expand

payload_field = $(word $(2),$(subst :, ,$(1)))
PAYLOAD_NAMES := $(foreach e,$(PAYLOAD_ENTRIES),$(call payload_field,$(e),2))
PAYLOAD_FILES := $(addprefix $(PAYLOAD_FILES_DIR)/,$(PAYLOAD_NAMES))
PAYLOAD_BINS := $(foreach e,$(PAYLOAD_ENTRIES),$(PAYLOAD_RC_DIR)/$(call payload_field,$(e),1).bin)

# --- the application's data files, made by resources/payload/gen_payload.py
PAYLOAD_GEN := resources/payload/gen_payload.py
PAYLOAD_GEN_SOURCES := $(wildcard resources/payload/*.py)
# The dictionary, its tables and the thesaurus share one word list: one run
# makes all five.
PAYLOAD_DICT_NAMES := main.dct bucket.bin table1.bin table2.bin thes.bin
PAYLOAD_COPIED_NAMES := license.txt Quillmark.exe qmkuins1.exe
PAYLOAD_GEN_NAMES := $(filter-out $(PAYLOAD_DICT_NAMES) $(PAYLOAD_COPIED_NAMES),$(PAYLOAD_NAMES))

$(addprefix $(PAYLOAD_FILES_DIR)/,$(PAYLOAD_DICT_NAMES)) &: $(PAYLOAD_GEN_SOURCES)
	@mkdir -p $(PAYLOAD_FILES_DIR)
	python3 -B $(PAYLOAD_GEN) $(PAYLOAD_FILES_DIR) $(PAYLOAD_DICT_NAMES)

$(addprefix $(PAYLOAD_FILES_DIR)/,$(PAYLOAD_GEN_NAMES)): $(PAYLOAD_FILES_DIR)/%: $(PAYLOAD_GEN_SOURCES)
	@mkdir -p $(@D)
	python3 -B $(PAYLOAD_GEN) $(@D) $*

# --- files copied from elsewhere in the tree
$(PAYLOAD_FILES_DIR)/license.txt: resources/license.txt
$(PAYLOAD_FILES_DIR)/Quillmark.exe: $(B)/apps/Quillmark.exe
$(PAYLOAD_FILES_DIR)/qmkuins1.exe: $(B)/apps/qmkuins1.exe
$(addprefix $(PAYLOAD_FILES_DIR)/,$(PAYLOAD_COPIED_NAMES)):
	@mkdir -p $(@D)
	cp $< $@.part && mv $@.part $@

# --- the resource data: <id>.bin per entry (szddc writes its image whole or
# not at all)
define payload_bin_rule
$(PAYLOAD_RC_DIR)/$(1).bin: $(PAYLOAD_FILES_DIR)/$(2) $(if $(filter Expand,$(3)),$(SZDDC))
	@mkdir -p $$(@D)
	$(if $(filter Expand,$(3)),$$(SZDDC) $$< $$@,cp $$< $$@.part && mv $$@.part $$@)
endef
$(foreach e,$(PAYLOAD_ENTRIES),$(eval $(call payload_bin_rule,$(call payload_field,$(e),1),$(call payload_field,$(e),2),$(call payload_field,$(e),3))))

.PHONY: payload-bins
payload-bins: $(PAYLOAD_BINS) $(ICON)
