# A bounded fuzz run of the process-list reader as a host test (longer by
# hand: tools/fuzz.sh <seconds> <work> proclist).
zelvane_fuzz_test(processes_proclist_fuzz 200000 proclist)
