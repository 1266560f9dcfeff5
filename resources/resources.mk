# The files setup.exe carries, and icon 103.
#
#   $(GEN)/carried_files.h      the manifest rows and the other entries, for
#                               the code (tools/carried_files.py)
#   $(GEN)/carried_files.rc     the resource script's FILE lines
#   $(GEN)/installed_sums.h     size and CRC-32 of each file installed into the
#                               install folder (payload/installed_files.h)
#   $(GEN)/stored_sums.h        size and CRC-32 of each "FILE" entry as stored,
#                               and of the uninstaller as installed
#   $(B)/payload/files/<name>   every carried file as it must come out on disk
#   $(B)/payload/rc/<entry>.bin the bytes of "FILE" entry <entry>: the SZDD
#                               image of the file for expanded entries, the
#                               file itself for raw ones
#   $(ICON)                     icon 103, two 16-colour images
#
# Everything here is made from payload/carried_files.txt, the one list of the
# carried files.  PAYLOAD_BINS lists every <entry>.bin, PAYLOAD_FILES every
# carried file.
#   make payload-bins           all of them

ICON := $(B)/res/quillmark.ico
# The manifest of setup.exe and qmkuins1.exe (resources/manifest.rc).
MANIFEST := resources/manifest.rc resources/programs.manifest
PAYLOAD_FILES_DIR := $(B)/payload/files
PAYLOAD_RC_DIR := $(B)/payload/rc
CARRIED_LIST := payload/carried_files.txt
CARRIED_TOOL := tools/carried_files.py
CARRIED_HEADER := $(GEN)/carried_files.h
CARRIED_RC := $(GEN)/carried_files.rc
INSTALLED_SUMS := $(GEN)/installed_sums.h
STORED_SUMS := $(GEN)/stored_sums.h

$(ICON): resources/icon/make_icon.py
	@mkdir -p $(@D)
	python3 -B $< $@

$(CARRIED_HEADER): $(CARRIED_LIST) $(CARRIED_TOOL)
	python3 -B $(CARRIED_TOOL) --header $@

$(CARRIED_RC): $(CARRIED_LIST) $(CARRIED_TOOL)
	python3 -B $(CARRIED_TOOL) --rc $@

# ENTRY:NAME:METHOD:ROLES of every carried file, read from the list.
CARRIED := $(shell python3 -B $(CARRIED_TOOL) --make)
$(if $(filter 0,$(.SHELLSTATUS)),,$(error $(CARRIED_LIST) could not be read))

comma := ,
carried_field = $(word $(2),$(subst :, ,$(1)))
# The names of the entries that have role $(1).
carried_with_role = $(strip $(foreach e,$(CARRIED),\
  $(if $(filter $(1),$(subst $(comma), ,$(call carried_field,$(e),4))),$(call carried_field,$(e),2))))

PAYLOAD_NAMES := $(foreach e,$(CARRIED),$(call carried_field,$(e),2))
PAYLOAD_FILES := $(addprefix $(PAYLOAD_FILES_DIR)/,$(PAYLOAD_NAMES))
PAYLOAD_BINS := $(foreach e,$(CARRIED),$(PAYLOAD_RC_DIR)/$(call carried_field,$(e),1).bin)

# --- where each carried file comes from.  The uninstaller is built here.
# With PAYLOAD=DIR the others come from DIR, the application's files as its
# team hands them over, checked first (tools/check_payload.py: a fault stops
# the build, and no setup.exe is left in $(B)).  Without it the program is
# built here, the licence is resources/license.txt, and
# resources/payload/gen_payload.py makes the application's data files in one
# run.
define payload_copy_rule
$(PAYLOAD_FILES_DIR)/$(1): $(2)
	@mkdir -p $$(@D)
	cp $$< $$@.part && mv $$@.part $$@
endef
PAYLOAD_UNINSTALLER := $(call carried_with_role,uninstaller)
$(eval $(call payload_copy_rule,$(PAYLOAD_UNINSTALLER),$(B)/apps/qmkuins1.exe))

ifdef PAYLOAD
PAYLOAD_SOURCE := $(abspath $(PAYLOAD))
PAYLOAD_CHECKED := $(B)/payload/checked

# Checked on every run; the stamp changes only when the folder did.
$(PAYLOAD_CHECKED): FORCE
	@mkdir -p $(@D)
	@python3 -B tools/check_payload.py $(PAYLOAD_SOURCE) $@ || { rm -f $(B)/setup.exe; exit 1; }

# A file is copied only when it differs, so that only what changed is built again.
define payload_folder_rule
$(PAYLOAD_FILES_DIR)/$(1): $(PAYLOAD_CHECKED)
	@mkdir -p $$(@D)
	@cmp -s $(PAYLOAD_SOURCE)/$(1) $$@ || cp $(PAYLOAD_SOURCE)/$(1) $$@
endef
$(foreach n,$(filter-out $(PAYLOAD_UNINSTALLER),$(PAYLOAD_NAMES)),$(eval $(call payload_folder_rule,$(n))))
else
PAYLOAD_GEN := resources/payload/gen_payload.py
PAYLOAD_GEN_SOURCES := $(wildcard resources/payload/*.py)
PAYLOAD_COPIED := program:$(B)/apps/Quillmark.exe licence:resources/license.txt
PAYLOAD_COPIED_NAMES := $(foreach c,$(PAYLOAD_COPIED),$(call carried_with_role,$(call carried_field,$(c),1)))
PAYLOAD_GEN_NAMES := $(filter-out $(PAYLOAD_COPIED_NAMES),$(call carried_with_role,manifest))

$(addprefix $(PAYLOAD_FILES_DIR)/,$(PAYLOAD_GEN_NAMES)) &: $(PAYLOAD_GEN_SOURCES)
	@mkdir -p $(PAYLOAD_FILES_DIR)
	python3 -B $(PAYLOAD_GEN) $(PAYLOAD_FILES_DIR) $(PAYLOAD_GEN_NAMES)

$(foreach c,$(PAYLOAD_COPIED),$(eval $(call payload_copy_rule,$(call carried_with_role,$(call carried_field,$(c),1)),$(call carried_field,$(c),2))))
endif

.PHONY: FORCE
FORCE:

# --- the resource data: <entry>.bin per entry (szddc writes its image whole
# or not at all)
define payload_bin_rule
$(PAYLOAD_RC_DIR)/$(1).bin: $(PAYLOAD_FILES_DIR)/$(2) $(if $(filter expand,$(3)),$(SZDDC))
	@mkdir -p $$(@D)
	$(if $(filter expand,$(3)),$$(SZDDC) $$< $$@,cp $$< $$@.part && mv $$@.part $$@)
endef
$(foreach e,$(CARRIED),$(eval $(call payload_bin_rule,$(call carried_field,$(e),1),$(call carried_field,$(e),2),$(call carried_field,$(e),3))))

# --- sizes and CRCs, once the files are made.  The uninstaller carries the
# first table, so it covers everything installed into the folder but itself.
$(INSTALLED_SUMS): $(filter-out %/$(call carried_with_role,uninstaller),$(PAYLOAD_FILES)) $(CARRIED_LIST) $(CARRIED_TOOL)
	python3 -B $(CARRIED_TOOL) --installed $(PAYLOAD_FILES_DIR) $@

$(STORED_SUMS): $(PAYLOAD_BINS) $(PAYLOAD_FILES_DIR)/$(PAYLOAD_UNINSTALLER) $(CARRIED_LIST) $(CARRIED_TOOL)
	python3 -B $(CARRIED_TOOL) --stored $(PAYLOAD_RC_DIR) $(PAYLOAD_FILES_DIR) $@

.PHONY: payload-bins
payload-bins: $(PAYLOAD_BINS) $(ICON)
