; Tape writer: saves a machine-language file in the SC-3000's cassette
; format through port C bit 4, with the format's own timing.
;
; The format: a bit "1" is two cycles of 2400 Hz, a bit "0" one cycle of
; 1200 Hz; a byte is a start bit 0, its eight bits from bit 0 up and two
; stop bits 1. A file is two blocks, each after about a second of silence
; and a leader of 3600 bits "1":
;   header: key code 26h, the name (16 characters, padded with spaces), the
;           program's length and start address (low byte first), a parity
;           byte (the two's complement of the sum of name, length and
;           address) and two dummy bytes 00h;
;   data:   key code 27h, the program's bytes, a parity byte (the two's
;           complement of their sum) and two dummy bytes 00h.
; The file written here is "QUAV TAPE TEST", 256 bytes for 9800h whose byte
; i is (i x 37 + 5) mod 256.
;
; Each bit goes out as eight slots of 1/9600 s (373 T-states; the last
; slot of a bit, which fetches the next, 372): a pattern byte per bit,
; 11001100b for "1" and 11110000b for "0", its bits put on the output
; from the top. The bits are laid out in RAM first, a block at a time.
; The screen says WRITING, then DONE; 0F000h then holds 1.

PPI_C           equ 0DEh
OUT_BIT         equ 10h                 ; the cassette output
ROW             equ 07h                 ; port C's row select, left at row 7
ONE             equ 11001100b
ZERO            equ 11110000b
LEADER_BITS     equ 3600
BITS            equ 8000h               ; the block's bit patterns, 0 ends them
SUM             equ 0F001h              ; the block's running sum
DONE            equ 0F000h
PROGRAM_LENGTH  equ 256
START_ADDRESS   equ 9800h
SLOT_WAIT       equ 24                  ; DJNZ passes of a slot
LAST_WAIT       equ 22                  ; of the eighth slot

        org 0
        di
        ld sp, 0FFF0h
        jp start

        ds 66h - $, 0
        retn                            ; the reset key changes nothing

start:  xor a
        ld (DONE), a
        call scr_init
        ld bc, 0000h
        call scr_at
        ld hl, title
        call scr_text
        ld bc, 0200h
        call scr_at
        ld hl, writing
        call scr_text
        ld a, ROW                       ; the output low
        out (PPI_C), a
        call gap

        ld hl, BITS                     ; the header block
        call put_leader
        ld a, 26h
        call put_byte
        xor a
        ld (SUM), a
        ld de, name
        ld b, 16
hname:  ld a, (de)
        call put_summed
        inc de
        djnz hname
        ld a, PROGRAM_LENGTH & 0FFh
        call put_summed
        ld a, PROGRAM_LENGTH >> 8
        call put_summed
        ld a, START_ADDRESS & 0FFh
        call put_summed
        ld a, START_ADDRESS >> 8
        call put_summed
        call put_end
        call send_bits
        call gap

        ld hl, BITS                     ; the data block
        call put_leader
        ld a, 27h
        call put_byte
        xor a
        ld (SUM), a
        ld c, 5                         ; byte i = i x 37 + 5
        ld de, PROGRAM_LENGTH
dbyte:  ld a, c
        call put_summed
        ld a, c
        add a, 37
        ld c, a
        dec de
        ld a, d
        or e
        jr nz, dbyte
        call put_end
        call send_bits
        call gap

        ld bc, 0200h
        call scr_at
        ld hl, done
        call scr_text
        ld a, 1
        ld (DONE), a
idle:   jr idle

; The leader's bit patterns at HL, HL moved past them.
put_leader:
        ld de, LEADER_BITS
pl_bit: ld (hl), ONE
        inc hl
        dec de
        ld a, d
        or e
        jr nz, pl_bit
        ret

; A byte added to the block's sum, then put as put_byte does.
put_summed:
        push bc
        ld b, a
        ld a, (SUM)
        add a, b
        ld (SUM), a
        ld a, b
        pop bc
; The bit patterns of byte A at HL: start bit, bits 0-7, two stop bits.
put_byte:
        push bc
        ld c, a
        ld (hl), ZERO
        inc hl
        ld b, 8
pb_bit: ld (hl), ONE
        rr c
        jr c, pb_one
        ld (hl), ZERO
pb_one: inc hl
        djnz pb_bit
        ld (hl), ONE
        inc hl
        ld (hl), ONE
        inc hl
        pop bc
        ret

; The block's end: the parity byte, two dummy bytes and the end mark.
put_end:
        ld a, (SUM)
        neg
        call put_byte
        xor a
        call put_byte
        xor a
        call put_byte
        ld (hl), 0
        ret

; Sends the bit patterns from BITS: eight slots a bit, the output set at
; the start of each. From one OUT to the next: 53 + 13 x SLOT_WAIT + 8 =
; 373 T-states within a bit, 77 + 13 x LAST_WAIT + 9 = 372 from a bit's
; last slot to the next bit's first: 2983 T-states, 1/1200 s, a bit.
send_bits:
        ld hl, BITS
        ld c, (hl)
        inc hl
sb_bit: ld e, 7
sb_slot:
        rlc c                           ; 8   the slot's level into carry
        sbc a, a                        ; 4
        and OUT_BIT                     ; 7
        or ROW                          ; 7   carry now clear
        out (PPI_C), a                  ; 11
        ld b, SLOT_WAIT                 ; 7
sb_wait:
        djnz sb_wait                    ; 13 a pass, 8 the last
        nop                             ; 4   pads
        nop                             ; 4
        dec e                           ; 4
        jp nz, sb_slot                  ; 10
        rlc c                           ; the eighth slot
        sbc a, a
        and OUT_BIT
        or ROW
        out (PPI_C), a
        ld b, LAST_WAIT
sb_last:
        djnz sb_last
        nop                             ; 4   pads
        ret c                           ; 5   never taken
        ld a, (hl)                      ; 7   the next bit
        inc hl                          ; 6
        ld c, a                         ; 4
        or a                            ; 4
        jp nz, sb_bit                   ; 10, and 7 for LD E,7
        ret

; About a second with the output held where it is.
gap:    ld d, 2
gap_outer:
        ld bc, 0
gap_inner:
        dec bc                          ; 26 T-states a pass, 65536 passes
        ld a, b
        or c
        jr nz, gap_inner
        dec d
        jr nz, gap_outer
        ret

name:   db "QUAV TAPE TEST  "
title:  db "QUAV TAPE WRITER", 0
writing: db "WRITING", 0
done:   db "DONE   ", 0

        include "tape_screen.inc"
