; Tape reader: reads a file in the SC-3000's cassette format (see
; tape_write.asm) from port B bit 7 and shows what it read.
;
; It times the input by counting passes of a polling loop (42 T-states a
; pass) between level changes, each half-cycle on its own, so the signal's
; polarity does not matter. A block starts after a leader: 128 cycles in
; a row within 3/8 of each other, then 32 more whose mean sets
; the thresholds, so a tape played faster or slower than it was made reads
; alike: a bit is "0" when its first cycle is longer than 1.5 leader
; cycles, and a start bit begins with a half-cycle longer than 0.75. A block
; ends with silence (no change for about 3 ms) or with the next leader.
;
; The two blocks' bytes go to RAM as read (the header at 8000h, at most 128
; bytes; the data block at 8100h, at most 28,416 bytes; longer blocks are
; counted but not kept), and the screen shows the header's key code, name,
; length and address bytes and parity, then the data block's key code, its
; program's length, whether the header's length (either byte order) is
; that, the parity, the 16-bit sum of the program's bytes and its first
; and last eight bytes. A header's parity counts as right with or without
; its start address in the sum, as tapes are made both ways.
;
; Results at 0F000h: +0 1 when both blocks were read; +2 the header's
; bytes (key, name, ..., dummies) read; +4 the data block's; +6 the
; program's sum; +8 header parity right (1/0); +9 data parity right;
; +10 length matches; +11 the block being read (1 or 2).

PPI_B           equ 0DDh
IN_BIT          equ 80h
HEADER          equ 8000h
HEADER_ROOM     equ 128
DATA            equ 8100h
DATA_ROOM       equ 0F000h - 100h - DATA
RESULTS         equ 0F000h
R_DONE          equ RESULTS + 0
R_HCOUNT        equ RESULTS + 2
R_DCOUNT        equ RESULTS + 4
R_SUM           equ RESULTS + 6
R_HPARITY       equ RESULTS + 8
R_DPARITY       equ RESULTS + 9
R_LENGTH        equ RESULTS + 10
R_BLOCK         equ RESULTS + 11
VARS            equ 0F100h              ; IX points here
V_THR_HALF      equ 0                   ; a longer half-cycle is 1200 Hz
V_THR_CYCLE     equ 1                   ; a longer cycle is a "0"
V_REF           equ 2                   ; the leader's cycle being matched
V_HALF          equ 3                   ; a cycle's first half
V_SHORTS        equ 4                   ; short half-cycles left before a block ends (0: no limit)
PTR             equ VARS + 8
ROOM            equ VARS + 10
COUNT           equ VARS + 12
LEAD_CYCLES     equ 128
CAL_CYCLES      equ 32
MAX_SHORTS      equ 48                  ; stop bits are 8 half-cycles

        org 0
        di
        ld sp, 0FFF0h
        jp start

        ds 66h - $, 0
        retn                            ; the reset key changes nothing

start:  ld hl, RESULTS
        ld b, 16
clr:    ld (hl), 0
        inc hl
        djnz clr
        ld ix, VARS
        call scr_init
        ld bc, 0000h
        call scr_at
        ld hl, title
        call scr_text
        ld bc, 0200h
        call scr_at
        ld hl, waiting
        call scr_text

        ld a, 1
        ld (R_BLOCK), a
        ld hl, HEADER
        ld de, HEADER_ROOM
        call read_block
        ld (R_HCOUNT), hl
        call show_header
        ld a, 2
        ld (R_BLOCK), a
        ld hl, DATA
        ld de, DATA_ROOM
        call read_block
        ld (R_DCOUNT), hl
        call show_data
        ld a, 1
        ld (R_DONE), a
idle:   jr idle

; ---- reading ----

; Reads one block into HL (at most DE bytes kept). HL = the bytes read.
read_block:
        ld (PTR), hl
        ld (ROOM), de
        ld hl, 0
        ld (COUNT), hl
        call find_leader
        call read_first
        jr c, rb_done
rb_byte:
        call store
        call read_byte
        jr nc, rb_byte
rb_done:
        ld hl, (COUNT)
        ret

store:  ld c, a
        ld hl, (ROOM)
        ld a, h
        or l
        jr z, st_count
        dec hl
        ld (ROOM), hl
        ld hl, (PTR)
        ld (hl), c
        inc hl
        ld (PTR), hl
st_count:
        ld hl, (COUNT)
        inc hl
        ld (COUNT), hl
        ret

; Waits for the input to leave level D. A = the polling passes it took, D
; the new level; carry set when it stayed put for 256 passes. meas_from
; starts the count at -B: the caller presets B with the passes that its
; own code takes from the IN that saw the last change to this call's first
; IN (rounded; each is counted below as "S"), so that a half-cycle reads
; the same whichever code measures it.
meas:   ld b, 0
meas_from:
        in a, (PPI_B)                   ; 11
        and IN_BIT                      ; 7
        cp d                            ; 4
        jr nz, ms_edge                  ; 7
        djnz meas_from                  ; 13: 42 a pass
        scf
        ret
ms_edge:
        ld d, a
        xor a
        sub b
        or a
        ret

; Two half-cycles: A = their polling passes; carry set on a time-out. The
; caller presets B for the first; the second is 108 T-states late: S = 3.
cycle:  call meas_from
        ret c
        ld (ix + V_HALF), a
        ld b, -3
        call meas_from
        ret c
        add a, (ix + V_HALF)
        ret

; Waits for a leader and sets the thresholds from it.
find_leader:
        in a, (PPI_B)
        and IN_BIT
        ld d, a
fl_again:
        ld (ix + V_REF), 0              ; no cycle is near: the next is the reference
fl_count:
        ld c, LEAD_CYCLES
fl_cycle:
        ld b, -8                        ; S = 8, with near_ref
        call cycle
        jr c, fl_again
        call near_ref
        jr c, fl_count
        dec c
        jr nz, fl_cycle
        ld hl, 0                        ; the calibration: 32 cycles summed
        ld c, CAL_CYCLES
fl_sum: ld b, -4                        ; S = 4
        call cycle
        jr c, fl_again
        add a, l
        ld l, a
        jr nc, fl_nc
        inc h
fl_nc:  dec c
        jr nz, fl_sum
        ld e, l                         ; HL x 3 / 64 = 1.5 x the mean cycle
        ld d, h
        add hl, hl
        add hl, de
        ld b, 6
fl_div: srl h
        rr l
        djnz fl_div
        ld (ix + V_THR_CYCLE), l
        ld a, l                         ; 0.75 x the mean cycle, rounded
        srl a
        adc a, 0
        ld (ix + V_THR_HALF), a
        in a, (PPI_B)                   ; meas goes on from the level now
        and IN_BIT
        ld d, a
        ret

; Carry set unless A is within three eighths of the reference cycle (the
; cycles of a tape of few samples a second differ by a whole sample); the
; reference becomes A when it is not.
near_ref:
        ld e, a
        ld a, (ix + V_REF)
        srl a
        srl a
        ld b, a
        srl a
        add a, b
        ld b, a                         ; three eighths
        ld a, (ix + V_REF)
        add a, b
        cp e
        jr c, nr_far                    ; A > ref x 11 / 8
        ld a, (ix + V_REF)
        sub b
        cp e
        jr z, nr_near
        jr nc, nr_far                   ; A < ref x 5 / 8
nr_near:
        ld a, e
        or a
        ret
nr_far: ld a, e
        ld (ix + V_REF), a
        scf
        ret

; The first byte of a block: the rest of the leader is skipped.
read_first:
        ld (ix + V_SHORTS), 0           ; no limit
        jr rd_find

; A byte: A, carry clear; carry set when the block has ended. A start bit
; is a long half-cycle whose next half makes a long cycle with it.
read_byte:
        ld (ix + V_SHORTS), MAX_SHORTS
rd_find:
        ld b, -4                        ; S = 4
        call meas_from
        ret c
        cp (ix + V_THR_HALF)
        jr nc, rd_start
rd_short:
        ld a, (ix + V_SHORTS)
        or a
        jr z, rd_find
        dec (ix + V_SHORTS)
        jr nz, rd_find
        scf
        ret
rd_start:
        ld (ix + V_HALF), a
        ld b, -3                        ; S = 3
        call meas_from
        ret c
        add a, (ix + V_HALF)
        cp (ix + V_THR_CYCLE)
        jr c, rd_short                  ; a short cycle after all
        ld c, 8
        ld b, -4                        ; S = 4 for bit 0
rd_bit: call cycle
        ret c
        cp (ix + V_THR_CYCLE)
        ld b, -5                        ; S = 5 for the bit after a "0"
        jr nc, rd_shift                 ; a "0" (carry clear)
        ld b, -4
        call cycle                      ; a "1": its second cycle
        ret c
        ld b, -4                        ; S = 4 for the bit after a "1"
        scf
rd_shift:
        rr e
        dec c
        jr nz, rd_bit
        ld a, e
        or a
        ret

; ---- showing ----

show_header:
        ld bc, 0200h
        call scr_at
        ld hl, header
        call scr_text
        ld a, (HEADER)
        call scr_hex8
        ld hl, bytes
        call scr_text
        ld hl, (R_HCOUNT)
        call scr_hex16
        ld bc, 0300h
        call scr_at
        ld hl, name
        call scr_text
        ld hl, HEADER + 1
        ld b, 16
sh_name:
        ld a, (hl)
        call scr_char
        inc hl
        djnz sh_name
        ld bc, 0400h
        call scr_at
        ld hl, length
        call scr_text
        ld a, (HEADER + 17)
        call scr_hex8
        ld a, ' '
        call scr_char
        ld a, (HEADER + 18)
        call scr_hex8
        ld a, (HEADER)
        cp 26h
        jr nz, sh_parity
        ld hl, address
        call scr_text
        ld a, (HEADER + 19)
        call scr_hex8
        ld a, ' '
        call scr_char
        ld a, (HEADER + 20)
        call scr_hex8
sh_parity:
        ld hl, (R_HCOUNT)               ; bytes 1 to count - 3 sum to 0
        ld de, -3
        add hl, de
        ld b, l
        ld hl, HEADER + 1
        call sum8
        jr z, sh_right
        ld c, a                         ; or without the start address
        ld a, (HEADER)
        cp 26h
        jr nz, sh_wrong
        ld a, (HEADER + 19)
        ld e, a
        ld a, (HEADER + 20)
        add a, e
        cp c
        jr nz, sh_wrong
sh_right:
        ld a, 1
        ld (R_HPARITY), a
sh_wrong:
        ld bc, 0500h
        call scr_at
        ld hl, hparity
        call scr_text
        ld a, (R_HPARITY)
        jp show_verdict

show_data:
        ld bc, 0700h
        call scr_at
        ld hl, data
        call scr_text
        ld a, (DATA)
        call scr_hex8
        ld hl, bytes
        call scr_text
        ld hl, (R_DCOUNT)
        call scr_hex16
        ld bc, 0800h
        call scr_at
        ld hl, program
        call scr_text
        ld hl, (R_DCOUNT)
        ld de, -4
        add hl, de
        push hl                         ; the program's length
        call scr_hex16
        ld hl, bytes_only
        call scr_text
        pop de
        ld a, (HEADER + 17)             ; low byte first
        cp e
        jr nz, sd_swapped
        ld a, (HEADER + 18)
        cp d
        jr z, sd_matches
sd_swapped:
        ld a, (HEADER + 17)             ; or high byte first
        cp d
        jr nz, sd_length
        ld a, (HEADER + 18)
        cp e
        jr nz, sd_length
sd_matches:
        ld a, 1
        ld (R_LENGTH), a
sd_length:
        ld bc, 0900h
        call scr_at
        ld hl, length_word
        call scr_text
        ld a, (R_LENGTH)
        or a
        ld hl, matches
        jr nz, sd_said
        ld hl, differs
sd_said:
        call scr_text
        push de                         ; bytes 1 to count - 3 sum to 0
        ld hl, (R_DCOUNT)
        ld de, -3
        add hl, de
        ld b, h
        ld c, l
        ld hl, DATA + 1
        call sum8_long
        jr nz, sd_wrong
        ld a, 1
        ld (R_DPARITY), a
sd_wrong:
        ld bc, 0A00h
        call scr_at
        ld hl, dparity
        call scr_text
        ld a, (R_DPARITY)
        call show_verdict
        pop bc                          ; the program's 16-bit sum
        ld hl, DATA + 1
        ld de, 0
sd_sum: ld a, b
        or c
        jr z, sd_summed
        ld a, (hl)
        add a, e
        ld e, a
        jr nc, sd_nc
        inc d
sd_nc:  inc hl
        dec bc
        jr sd_sum
sd_summed:
        ld (R_SUM), de
        ld bc, 0B00h
        call scr_at
        ld hl, sum
        call scr_text
        ex de, hl
        call scr_hex16
        ld bc, 0C00h
        call scr_at
        ld hl, first
        call scr_text
        ld hl, DATA + 1
        call show_eight
        ld bc, 0D00h
        call scr_at
        ld hl, last
        call scr_text
        ld hl, (R_DCOUNT)               ; the last 8 before parity and dummies
        ld de, DATA - 11
        add hl, de
        call show_eight
        ld bc, 0F00h
        call scr_at
        ld hl, done
        jp scr_text

show_eight:
        ld b, 8
se_byte:
        ld a, (hl)
        call scr_hex8
        ld a, ' '
        call scr_char
        inc hl
        djnz se_byte
        ret

show_verdict:
        or a
        ld hl, right
        jr nz, sv_said
        ld hl, wrong
sv_said:
        jp scr_text

; The sum of B bytes at HL in A; Z set when it is 0.
sum8:   xor a
s8_byte:
        add a, (hl)
        inc hl
        djnz s8_byte
        or a
        ret

; The same for BC bytes.
sum8_long:
        xor a
        ld e, a
s8l_byte:
        ld a, b
        or c
        jr z, s8l_done
        ld a, e
        add a, (hl)
        ld e, a
        inc hl
        dec bc
        jr s8l_byte
s8l_done:
        ld a, e
        or a
        ret

title:  db "QUAV TAPE READER", 0
waiting: db "WAITING FOR A TAPE", 0
header: db "HEADER KEY ", 0
data:   db "DATA KEY ", 0
bytes:  db "  BYTES ", 0
name:   db "NAME ", 0
length: db "LENGTH ", 0
address: db "  ADDRESS ", 0
hparity: db "HEADER PARITY ", 0
dparity: db "DATA PARITY ", 0
program: db "PROGRAM ", 0
bytes_only: db " BYTES", 0
length_word: db "HEADER LENGTH ", 0
matches: db "MATCHES", 0
differs: db "DIFFERS", 0
sum:    db "SUM ", 0
first:  db "FIRST ", 0
last:   db "LAST  ", 0
right:  db "RIGHT", 0
wrong:  db "WRONG", 0
done:   db "DONE", 0

        include "tape_screen.inc"
