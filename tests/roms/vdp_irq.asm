; VDP interrupt probe. The test drives it through RAM:
;   0xC010 command: 1 read the status port into 0xC011, 2 enable the frame
;          interrupt (register 1 = 0x60), 3 disable it (0x40); cleared when done
;   0xC030 non-zero: the handler leaves the status port unread
; The handler (IM 1, 0x0038) stores the status it read at 0xC020 and counts
; its runs in 0xC021. 0xC001 = 0x5A once the program is running.
CTRL    equ 0xBF
STARTED equ 0xC001
CMD     equ 0xC010
RESULT  equ 0xC011
LASTST  equ 0xC020
COUNT   equ 0xC021
NOREAD  equ 0xC030

        org 0
        di
        im 1
        ld sp, 0xF000
        jp start
        ds 0x38 - $, 0xC9

handler:
        push af
        ld a, (NOREAD)
        or a
        jr nz, counted
        in a, (CTRL)
        ld (LASTST), a
counted:
        ld a, (COUNT)
        inc a
        ld (COUNT), a
        pop af
        ei
        reti

start:  ld a, 0x40              ; display on, interrupt off
        out (CTRL), a
        ld a, 0x81
        out (CTRL), a
        in a, (CTRL)            ; drop any stale flag
        ld a, 0x5A
        ld (STARTED), a
        ei
loop:   ld a, (CMD)
        or a
        jr z, loop
        cp 1
        jr nz, setreg
        in a, (CTRL)
        ld (RESULT), a
        jr done
setreg: cp 2
        ld a, 0x60
        jr z, write1
        ld a, 0x40
write1: out (CTRL), a
        ld a, 0x81
        out (CTRL), a
done:   xor a
        ld (CMD), a
        jr loop
