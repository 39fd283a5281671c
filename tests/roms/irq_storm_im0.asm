; An interrupt storm in interrupt mode 0 (irq_storm.inc).
MODE equ 0
        include "irq_storm.inc"
